#include "recman/DataStore.h"

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace duv::recman {

namespace {

// "DUVR": marks a database as one of our data files.
constexpr int kApplicationId = 0x44555652;
constexpr int kBusyTimeoutMs = 10000;

constexpr std::size_t kSeekKinds = 8;
enum Slot : std::size_t {
  kReadAtBase = kSeekKinds * kMaxKeys,
  kInsert = kReadAtBase + kMaxKeys,
  kUpdate,
  kDelete,
  kOldRow,
  kSequence,
  kNextPosition,
  kCountInsert,
  kCount,
  kAdjustCount,
  kSlotCount,
};

std::string KeyColumns(std::size_t key) {
  return "k" + std::to_string(key) + ", s" + std::to_string(key);
}

std::string SeekSql(std::size_t key, Seek seek) {
  const std::string k = "k" + std::to_string(key);
  const std::string s = "s" + std::to_string(key);
  const std::string up = " ORDER BY " + k + ", " + s + " LIMIT ?3";
  const std::string down = " ORDER BY " + k + " DESC, " + s + " DESC LIMIT ?3";
  std::string sql = "SELECT pos, data, " + k + ", " + s + " FROM records";
  switch (seek) {
    case Seek::kFirst: return sql + up;
    case Seek::kLast: return sql + down;
    case Seek::kAtLeast: return sql + " WHERE " + k + " >= ?1" + up;
    case Seek::kAbove: return sql + " WHERE " + k + " > ?1" + up;
    case Seek::kAtMost: return sql + " WHERE " + k + " <= ?1" + down;
    case Seek::kBelow: return sql + " WHERE " + k + " < ?1" + down;
    case Seek::kAfter: return sql + " WHERE (" + k + ", " + s + ") > (?1, ?2)" + up;
    case Seek::kBefore: return sql + " WHERE (" + k + ", " + s + ") < (?1, ?2)" + down;
  }
  return sql;
}

std::string ColumnBlob(sqlite3_stmt* statement, int column) {
  const void* bytes = sqlite3_column_blob(statement, column);
  const int length = sqlite3_column_bytes(statement, column);
  if (bytes == nullptr || length <= 0) return {};
  return std::string(static_cast<const char*>(bytes), static_cast<std::size_t>(length));
}

void AssignBlob(std::string& target, sqlite3_stmt* statement, int column) {
  const void* bytes = sqlite3_column_blob(statement, column);
  const int length = sqlite3_column_bytes(statement, column);
  if (bytes == nullptr || length <= 0) {
    target.clear();
  } else {
    target.assign(static_cast<const char*>(bytes), static_cast<std::size_t>(length));
  }
}

void BindBlob(sqlite3_stmt* statement, int index, const std::string& bytes) {
  sqlite3_bind_blob(statement, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC);
}

StoreResult FromCode(int code) {
  switch (code & 0xff) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
      return StoreResult::kOk;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return StoreResult::kBusy;
    case SQLITE_CONSTRAINT:
      return StoreResult::kDuplicate;
    default:
      return StoreResult::kFailed;
  }
}

// Runs a prepared statement that returns no rows, and resets it.
StoreResult RunToEnd(sqlite3_stmt* statement) {
  if (statement == nullptr) return StoreResult::kFailed;
  const int code = sqlite3_step(statement);
  sqlite3_reset(statement);
  sqlite3_clear_bindings(statement);
  return code == SQLITE_DONE ? StoreResult::kOk : FromCode(code);
}

StoreResult Exec(sqlite3* db, const char* sql) {
  return FromCode(sqlite3_exec(db, sql, nullptr, nullptr, nullptr));
}

// The records are kept in key 0 order (a table clustered on key 0's image and sequence), so
// that reading along key 0, the way files are mostly read, walks the table itself. Record
// positions come from a counter that only grows, and have a unique index of their own.
std::string SchemaSql(const FileDefinition& definition) {
  std::string sql =
      "CREATE TABLE definition(bytes BLOB NOT NULL);"
      "CREATE TABLE meta(id INTEGER PRIMARY KEY CHECK (id = 1), records INTEGER NOT NULL,"
      " position INTEGER NOT NULL, sequence INTEGER NOT NULL);"
      "INSERT INTO meta VALUES (1, 0, 0, 0);"
      "CREATE TABLE records(k0 BLOB NOT NULL, s0 INTEGER NOT NULL, pos INTEGER NOT NULL, data BLOB NOT NULL";
  for (std::size_t k = 1; k < definition.keys.size(); ++k) {
    sql += ", k" + std::to_string(k) + " BLOB NOT NULL, s" + std::to_string(k) + " INTEGER NOT NULL";
  }
  // A unique key keeps sequence 0 on every record, so a second record with the same image is
  // refused by the primary key or the unique index.
  sql += ", PRIMARY KEY (k0, s0)) WITHOUT ROWID;";
  sql += "CREATE UNIQUE INDEX positions ON records(pos);";
  for (std::size_t k = 1; k < definition.keys.size(); ++k) {
    sql += std::string("CREATE ") + (definition.keys[k].AllowsDuplicates() ? "" : "UNIQUE ") +
           "INDEX key" + std::to_string(k) + " ON records(" + KeyColumns(k) + ");";
  }
  return sql;
}

void SyncDirectory(const std::string& path) {
  const std::string folder = std::filesystem::path(path).parent_path().string();
  const int descriptor = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor >= 0) {
    ::fsync(descriptor);
    ::close(descriptor);
  }
}

bool WriteDatabase(const std::string& path, const FileDefinition& definition) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return false;
  }
  bool ok = Exec(db, "PRAGMA synchronous = FULL; BEGIN;") == StoreResult::kOk &&
            Exec(db, ("PRAGMA application_id = " + std::to_string(kApplicationId) + ";").c_str()) ==
                StoreResult::kOk &&
            Exec(db, SchemaSql(definition).c_str()) == StoreResult::kOk;
  if (ok) {
    sqlite3_stmt* insert = nullptr;
    const std::string bytes = definition.Encode();
    ok = sqlite3_prepare_v2(db, "INSERT INTO definition VALUES (?1)", -1, &insert, nullptr) == SQLITE_OK;
    if (ok) {
      BindBlob(insert, 1, bytes);
      ok = sqlite3_step(insert) == SQLITE_DONE;
    }
    sqlite3_finalize(insert);
  }
  ok = ok && Exec(db, "COMMIT; PRAGMA journal_mode = WAL;") == StoreResult::kOk;
  return sqlite3_close(db) == SQLITE_OK && ok;
}

void RemoveSideFiles(const std::string& path) {
  ::unlink((path + "-wal").c_str());
  ::unlink((path + "-shm").c_str());
}

}  // namespace

StoreResult DataStore::Create(const std::string& path, const FileDefinition& definition, bool replace) {
  // Made beside the file and moved into place whole.
  std::string temporary = path + ".new-XXXXXX";
  const int descriptor = ::mkstemp(temporary.data());
  if (descriptor < 0) return StoreResult::kFailed;
  ::close(descriptor);
  if (!WriteDatabase(temporary, definition)) {
    ::unlink(temporary.c_str());
    RemoveSideFiles(temporary);
    return StoreResult::kFailed;
  }
  RemoveSideFiles(temporary);
  struct stat info {};
  const bool exists = ::stat(path.c_str(), &info) == 0;
  if (exists && !replace) {
    ::unlink(temporary.c_str());
    return StoreResult::kDuplicate;
  }
  // A log left by an earlier file of this name must not be replayed into the new one. The
  // caller has made sure nobody has the file open.
  RemoveSideFiles(path);
  int moved = 0;
  if (replace) {
    moved = ::rename(temporary.c_str(), path.c_str());
  } else {
    moved = ::link(temporary.c_str(), path.c_str());
    const int error = errno;
    ::unlink(temporary.c_str());
    if (moved != 0 && error == EEXIST) return StoreResult::kDuplicate;
  }
  if (moved != 0) {
    ::unlink(temporary.c_str());
    return StoreResult::kFailed;
  }
  SyncDirectory(path);
  return StoreResult::kOk;
}

std::unique_ptr<DataStore> DataStore::Open(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return nullptr;
  }
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  sqlite3_extended_result_codes(db, 1);
  std::optional<FileDefinition> definition;
  int applicationId = 0;
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, "PRAGMA application_id", -1, &statement, nullptr) == SQLITE_OK &&
      sqlite3_step(statement) == SQLITE_ROW) {
    applicationId = sqlite3_column_int(statement, 0);
  }
  sqlite3_finalize(statement);
  statement = nullptr;
  if (applicationId == kApplicationId &&
      sqlite3_prepare_v2(db, "SELECT bytes FROM definition", -1, &statement, nullptr) == SQLITE_OK &&
      sqlite3_step(statement) == SQLITE_ROW) {
    definition = ParseDefinition(ColumnBlob(statement, 0));
  }
  sqlite3_finalize(statement);
  if (!definition || Exec(db, "PRAGMA synchronous = FULL; PRAGMA journal_mode = WAL;") != StoreResult::kOk) {
    sqlite3_close(db);
    return nullptr;
  }
  return std::unique_ptr<DataStore>(new DataStore(db, std::move(*definition)));
}

DataStore::DataStore(sqlite3* db, FileDefinition definition)
    : db_(db), definition_(std::move(definition)), statements_(kSlotCount, nullptr) {}

DataStore::~DataStore() {
  if (inTransaction_) Exec(db_, "ROLLBACK");
  for (sqlite3_stmt* statement : statements_) sqlite3_finalize(statement);
  sqlite3_close(db_);
}

sqlite3_stmt* DataStore::Statement(std::size_t slot, const std::string& sql) {
  if (statements_[slot] == nullptr) {
    sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &statements_[slot], nullptr);
  }
  return statements_[slot];
}

StoreResult DataStore::Find(std::size_t key, Seek seek, const std::string& image, std::int64_t sequence,
                            std::size_t limit, std::vector<StoredRecord>& out, std::size_t& found) {
  found = 0;
  sqlite3_stmt* statement = Statement(key * kSeekKinds + static_cast<std::size_t>(seek), SeekSql(key, seek));
  if (statement == nullptr) return StoreResult::kFailed;
  BindBlob(statement, 1, image);
  sqlite3_bind_int64(statement, 2, sequence);
  sqlite3_bind_int64(statement, 3, static_cast<sqlite3_int64>(limit));
  int code = SQLITE_DONE;
  while (found < limit && (code = sqlite3_step(statement)) == SQLITE_ROW) {
    if (out.size() <= found) out.resize(found + 1);
    StoredRecord& record = out[found++];
    record.position = static_cast<std::uint32_t>(sqlite3_column_int64(statement, 0));
    AssignBlob(record.data, statement, 1);
    AssignBlob(record.image, statement, 2);
    record.sequence = sqlite3_column_int64(statement, 3);
  }
  sqlite3_reset(statement);
  sqlite3_clear_bindings(statement);
  if (code != SQLITE_ROW && code != SQLITE_DONE) return FromCode(code);
  return found == 0 ? StoreResult::kNotFound : StoreResult::kOk;
}

StoreResult DataStore::ReadAt(std::uint32_t position, std::size_t key, StoredRecord& out) {
  sqlite3_stmt* statement =
      Statement(kReadAtBase + key, "SELECT pos, data, " + KeyColumns(key) + " FROM records WHERE pos = ?1");
  if (statement == nullptr) return StoreResult::kFailed;
  sqlite3_bind_int64(statement, 1, position);
  const int code = sqlite3_step(statement);
  if (code == SQLITE_ROW) {
    out.position = position;
    AssignBlob(out.data, statement, 1);
    AssignBlob(out.image, statement, 2);
    out.sequence = sqlite3_column_int64(statement, 3);
  }
  sqlite3_reset(statement);
  sqlite3_clear_bindings(statement);
  if (code == SQLITE_ROW) return StoreResult::kOk;
  return code == SQLITE_DONE ? StoreResult::kNotFound : FromCode(code);
}

StoreResult DataStore::WriteBegin() {
  return inTransaction_ ? StoreResult::kOk : Exec(db_, "BEGIN IMMEDIATE");
}

StoreResult DataStore::WriteEnd(StoreResult result) {
  if (inTransaction_) return result;
  if (result != StoreResult::kOk) {
    Exec(db_, "ROLLBACK");
    return result;
  }
  const StoreResult committed = Exec(db_, "COMMIT");
  if (committed != StoreResult::kOk) Exec(db_, "ROLLBACK");
  return committed;
}

StoreResult DataStore::NextSequence(std::int64_t& sequence) {
  sqlite3_stmt* statement =
      Statement(kSequence, "UPDATE meta SET sequence = sequence + 1 WHERE id = 1 RETURNING sequence");
  if (statement == nullptr) return StoreResult::kFailed;
  const int code = sqlite3_step(statement);
  if (code == SQLITE_ROW) sequence = sqlite3_column_int64(statement, 0);
  const int end = code == SQLITE_ROW ? sqlite3_step(statement) : code;
  sqlite3_reset(statement);
  return code == SQLITE_ROW && end == SQLITE_DONE ? StoreResult::kOk : FromCode(code == SQLITE_ROW ? end : code);
}

StoreResult DataStore::NextPosition(std::uint32_t& position, std::int64_t& sequence) {
  sqlite3_stmt* statement = Statement(kNextPosition, "SELECT position + 1, sequence + 1 FROM meta WHERE id = 1");
  if (statement == nullptr) return StoreResult::kFailed;
  const int code = sqlite3_step(statement);
  sqlite3_int64 next = 0;
  if (code == SQLITE_ROW) {
    next = sqlite3_column_int64(statement, 0);
    sequence = sqlite3_column_int64(statement, 1);
  }
  sqlite3_reset(statement);
  if (code != SQLITE_ROW) return FromCode(code);
  if (next <= 0 || next > 0xffffffffLL) return StoreResult::kFailed;  // positions are 32-bit
  position = static_cast<std::uint32_t>(next);
  return StoreResult::kOk;
}

StoreResult DataStore::Insert(const std::string& record, std::uint32_t& position) {
  StoreResult result = WriteBegin();
  if (result != StoreResult::kOk) return result;
  std::int64_t sequence = 0;
  result = NextPosition(position, sequence);
  std::string sql = "INSERT INTO records(pos, data";
  std::string values = "?1, ?2";
  for (std::size_t k = 0; k < definition_.keys.size(); ++k) {
    sql += ", " + KeyColumns(k);
    values += ", ?" + std::to_string(3 + 2 * k) + ", ?" + std::to_string(4 + 2 * k);
  }
  sqlite3_stmt* insert = Statement(kInsert, sql + ") VALUES (" + values + ")");
  if (result == StoreResult::kOk && insert == nullptr) result = StoreResult::kFailed;
  if (result == StoreResult::kOk) {
    sqlite3_bind_int64(insert, 1, position);
    BindBlob(insert, 2, record);
    std::vector<std::string> images;
    images.reserve(definition_.keys.size());
    for (std::size_t k = 0; k < definition_.keys.size(); ++k) {
      const KeySpec& key = definition_.keys[k];
      images.push_back(KeyImage(definition_, key, KeyValueOf(key, record)));
      BindBlob(insert, static_cast<int>(3 + 2 * k), images.back());
      sqlite3_bind_int64(insert, static_cast<int>(4 + 2 * k), key.AllowsDuplicates() ? sequence : 0);
    }
    result = RunToEnd(insert);
  }
  // Counted only once the record is in: inside a transaction a refused insert is not rolled
  // back with the rest.
  if (result == StoreResult::kOk) {
    sqlite3_stmt* counted = Statement(
        kCountInsert, "UPDATE meta SET position = ?1, sequence = ?2, records = records + 1 WHERE id = 1");
    if (counted == nullptr) {
      result = StoreResult::kFailed;
    } else {
      sqlite3_bind_int64(counted, 1, position);
      sqlite3_bind_int64(counted, 2, sequence);
      result = RunToEnd(counted);
    }
  }
  return WriteEnd(result);
}

StoreResult DataStore::CheckUnchanged(std::uint32_t position, const std::string& expected) {
  StoredRecord current;
  const StoreResult result = ReadAt(position, 0, current);
  if (result != StoreResult::kOk) return result;
  return current.data == expected ? StoreResult::kOk : StoreResult::kNotFound;
}

StoreResult DataStore::Update(std::uint32_t position, const std::string& expected, const std::string& record) {
  StoreResult result = WriteBegin();
  if (result != StoreResult::kOk) return result;
  result = CheckUnchanged(position, expected);

  std::string sql = "UPDATE records SET data = ?1";
  for (std::size_t k = 0; k < definition_.keys.size(); ++k) {
    sql += ", k" + std::to_string(k) + " = ?" + std::to_string(2 + 2 * k) + ", s" + std::to_string(k) +
           " = ?" + std::to_string(3 + 2 * k);
  }
  const int positionIndex = static_cast<int>(2 + 2 * definition_.keys.size());
  sqlite3_stmt* update = Statement(kUpdate, sql + " WHERE pos = ?" + std::to_string(positionIndex));
  if (result == StoreResult::kOk && update == nullptr) result = StoreResult::kFailed;

  std::vector<std::string> images(definition_.keys.size());
  std::vector<std::int64_t> sequences(definition_.keys.size(), 0);
  for (std::size_t k = 0; result == StoreResult::kOk && k < definition_.keys.size(); ++k) {
    const KeySpec& key = definition_.keys[k];
    images[k] = KeyImage(definition_, key, KeyValueOf(key, record));
    if (!key.AllowsDuplicates()) continue;
    StoredRecord old;
    result = ReadAt(position, k, old);
    // A record whose key changes goes to the end of its new run of duplicates.
    if (result == StoreResult::kOk) {
      if (old.image == images[k]) {
        sequences[k] = old.sequence;
      } else {
        result = NextSequence(sequences[k]);
      }
    }
  }
  if (result == StoreResult::kOk) {
    BindBlob(update, 1, record);
    for (std::size_t k = 0; k < definition_.keys.size(); ++k) {
      BindBlob(update, static_cast<int>(2 + 2 * k), images[k]);
      sqlite3_bind_int64(update, static_cast<int>(3 + 2 * k), sequences[k]);
    }
    sqlite3_bind_int64(update, positionIndex, position);
    result = RunToEnd(update);
  }
  return WriteEnd(result);
}

StoreResult DataStore::Delete(std::uint32_t position, const std::string& expected) {
  StoreResult result = WriteBegin();
  if (result != StoreResult::kOk) return result;
  result = CheckUnchanged(position, expected);
  if (result == StoreResult::kOk) {
    sqlite3_stmt* remove = Statement(kDelete, "DELETE FROM records WHERE pos = ?1");
    if (remove == nullptr) {
      result = StoreResult::kFailed;
    } else {
      sqlite3_bind_int64(remove, 1, position);
      result = RunToEnd(remove);
    }
  }
  if (result == StoreResult::kOk) {
    sqlite3_stmt* adjust = Statement(kAdjustCount, "UPDATE meta SET records = records + ?1 WHERE id = 1");
    if (adjust == nullptr) {
      result = StoreResult::kFailed;
    } else {
      sqlite3_bind_int64(adjust, 1, -1);
      result = RunToEnd(adjust);
    }
  }
  return WriteEnd(result);
}

StoreResult DataStore::RecordCount(std::uint32_t& count) {
  sqlite3_stmt* statement = Statement(kCount, "SELECT records FROM meta WHERE id = 1");
  if (statement == nullptr) return StoreResult::kFailed;
  const int code = sqlite3_step(statement);
  if (code == SQLITE_ROW) count = static_cast<std::uint32_t>(sqlite3_column_int64(statement, 0));
  sqlite3_reset(statement);
  return code == SQLITE_ROW ? StoreResult::kOk : FromCode(code);
}

StoreResult DataStore::Begin() {
  if (inTransaction_) return StoreResult::kFailed;
  const StoreResult result = Exec(db_, "BEGIN IMMEDIATE");
  inTransaction_ = result == StoreResult::kOk;
  return result;
}

StoreResult DataStore::Commit() {
  if (!inTransaction_) return StoreResult::kFailed;
  const StoreResult result = Exec(db_, "COMMIT");
  if (result != StoreResult::kOk) Exec(db_, "ROLLBACK");
  inTransaction_ = false;
  return result;
}

StoreResult DataStore::Rollback() {
  if (!inTransaction_) return StoreResult::kFailed;
  inTransaction_ = false;
  return Exec(db_, "ROLLBACK");
}

}  // namespace duv::recman
