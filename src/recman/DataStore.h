#pragma once
// One data file as an SQLite database in WAL mode: its definition, and the records, each with
// a record position that is never reused and, per key, a sort image and a sequence number that
// keeps duplicates in the order they were written. The records are stored in key 0 order.
//
// Every call runs its statements to the end and resets them, so no read transaction outlives
// a call: each read sees what was committed before it began.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "recman/FileDefinition.h"

struct sqlite3;
struct sqlite3_stmt;

namespace duv::recman {

// A record as a read returns it.
struct StoredRecord {
  std::uint32_t position = 0;
  std::string data;
  std::string image;  // the sort image of the key it was read along
  std::int64_t sequence = 0;
};

// Where a keyed search starts and which way it goes.
enum class Seek {
  kFirst,           // the lowest key
  kLast,            // the highest key
  kAtLeast,         // the first record whose key is >= the image
  kAbove,           // the first whose key is > the image
  kAtMost,          // the last whose key is <= the image
  kBelow,           // the last whose key is < the image
  kAfter,           // the records after (image, sequence), ascending
  kBefore,          // the records before (image, sequence), descending
};

// Outcomes of the database; the record manager turns them into statuses.
enum class StoreResult { kOk, kNotFound, kDuplicate, kBusy, kFailed };

class DataStore {
 public:
  // Writes a new database file for the definition. With `replace` an existing file is
  // replaced, otherwise refused (kDuplicate). The file appears whole or not at all.
  static StoreResult Create(const std::string& path, const FileDefinition& definition, bool replace);

  // Opens an existing data file; nothing when it is missing, unreadable or not a data file.
  static std::unique_ptr<DataStore> Open(const std::string& path);
  ~DataStore();
  DataStore(const DataStore&) = delete;
  DataStore& operator=(const DataStore&) = delete;

  const FileDefinition& Definition() const { return definition_; }

  // Up to `limit` records along `key` from where `seek` says, in the order of the search.
  StoreResult Find(std::size_t key, Seek seek, const std::string& image, std::int64_t sequence,
                   std::size_t limit, std::vector<StoredRecord>& out, std::size_t& found);
  // The record at a position, with its image and sequence along `key`.
  StoreResult ReadAt(std::uint32_t position, std::size_t key, StoredRecord& out);

  StoreResult Insert(const std::string& record, std::uint32_t& position);
  // Replaces the record at `position`, provided it still holds `expected`; kNotFound when it
  // was deleted or changed meanwhile.
  StoreResult Update(std::uint32_t position, const std::string& expected, const std::string& record);
  StoreResult Delete(std::uint32_t position, const std::string& expected);
  StoreResult RecordCount(std::uint32_t& count);

  // A transaction spanning several writes; without one, every write commits on its own.
  StoreResult Begin();
  StoreResult Commit();
  StoreResult Rollback();
  bool InTransaction() const { return inTransaction_; }

 private:
  DataStore(sqlite3* db, FileDefinition definition);
  sqlite3_stmt* Statement(std::size_t slot, const std::string& sql);
  StoreResult WriteBegin();
  StoreResult WriteEnd(StoreResult result);
  StoreResult NextSequence(std::int64_t& sequence);
  StoreResult NextPosition(std::uint32_t& position, std::int64_t& sequence);
  StoreResult CheckUnchanged(std::uint32_t position, const std::string& expected);

  sqlite3* db_;
  FileDefinition definition_;
  std::vector<sqlite3_stmt*> statements_;
  bool inTransaction_ = false;
};

}  // namespace duv::recman
