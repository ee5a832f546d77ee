#pragma once
// The side file "<data file>.lck" through which the users of one data file coordinate.
//
// Locks are Linux open-file-description locks, so they belong to one open of the lock file and
// vanish with it, and with the process when it dies: byte 0 is held shared by every normal open
// and exclusively by an exclusive one; the byte at 2^32 + position stands for a record lock.
// The database file itself is never locked here: closing any descriptor of it would drop the
// database engine's own classic POSIX locks.
//
// The first page also holds a change counter that every writer advances after each commit, so
// that a reader can tell in one memory load whether what it read ahead is still current.

#include <cstdint>
#include <memory>
#include <string>

namespace duv::recman {

class LockFile {
 public:
  // Opens (creating when missing) the lock file beside a data file. Nothing when it cannot be
  // opened or mapped.
  static std::unique_ptr<LockFile> Open(const std::string& dataFilePath);
  ~LockFile();
  LockFile(const LockFile&) = delete;
  LockFile& operator=(const LockFile&) = delete;

  // The file lock of an open: shared, or exclusive. False when another open conflicts.
  bool LockForOpen(bool exclusive);

  enum class RecordLock { kLocked, kInUse, kFailed };
  // Locks the record for this open, waiting for other users or not. A lock this open holds on
  // another record is released once the new one is held.
  RecordLock LockRecord(std::uint32_t position, bool wait);
  void UnlockRecord();
  std::uint32_t LockedRecord() const { return lockedRecord_; }
  // Whether another open holds the record: the lock is taken and given back at once.
  bool RecordInUseByOthers(std::uint32_t position);

  std::uint64_t ChangeCount() const;
  void NoteChange();

 private:
  LockFile(int descriptor, void* page) : descriptor_(descriptor), page_(page) {}

  int descriptor_;
  void* page_;
  std::uint32_t lockedRecord_ = 0;  // 0: none (positions start at 1)
};

}  // namespace duv::recman
