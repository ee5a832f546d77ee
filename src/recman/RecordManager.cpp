#include "recman/RecordManager.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "platform/HostPath.h"
#include "recman/DataStore.h"
#include "recman/LockFile.h"

namespace duv::recman {

namespace {

constexpr std::uint8_t kMagic[8] = {'D', 'U', 'V', 'R', 'M', 'P', 'B', '1'};
constexpr std::size_t kFirstBatch = 16;
constexpr std::size_t kLargestBatch = 1024;
constexpr int kLockedReadAttempts = 100;

std::uint32_t Read32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
         (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

void Write32(std::uint8_t* bytes, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint64_t Read64(const std::uint8_t* bytes) {
  return static_cast<std::uint64_t>(Read32(bytes)) | (static_cast<std::uint64_t>(Read32(bytes + 4)) << 32);
}

void Write64(std::uint8_t* bytes, std::uint64_t value) {
  Write32(bytes, static_cast<std::uint32_t>(value));
  Write32(bytes + 4, static_cast<std::uint32_t>(value >> 32));
}

std::int16_t StatusOf(StoreResult result) {
  switch (result) {
    case StoreResult::kOk: return status::kSuccess;
    case StoreResult::kNotFound: return status::kConflict;
    case StoreResult::kDuplicate: return status::kDuplicateKey;
    case StoreResult::kBusy: return status::kFileInUse;
    case StoreResult::kFailed: return status::kIoError;
  }
  return status::kIoError;
}

// The path in a key buffer: up to the key length or the first 0x00 byte.
std::string PathFromKeyBuffer(const void* keyBuffer, std::uint8_t keyLength) {
  if (keyBuffer == nullptr) return {};
  const char* text = static_cast<const char*>(keyBuffer);
  return std::string(text, strnlen(text, keyLength));
}

bool IsGet(std::int16_t base) {
  return (base >= op::kGetEqual && base <= op::kGetLast) || base == op::kGetDirect;
}

}  // namespace

// A data file as this client holds it, shared by all its opens of the file.
struct SharedFile {
  std::string path;
  std::unique_ptr<DataStore> store;
  std::unique_ptr<LockFile> counter;  // for the change counter only; holds no locks
  std::uint64_t localChanges = 0;     // writes of this client not yet seen through the counter
  std::uint64_t statStamp = ~std::uint64_t{0};
  std::string statBytes;  // what Stat answers, kept until the file changes
  int opens = 0;

  // Changes whenever any client commits, or this one writes inside its transaction.
  std::uint64_t Stamp() const { return counter->ChangeCount() + localChanges; }
  void NoteWrite(bool inTransaction) {
    if (inTransaction) {
      ++localChanges;
    } else {
      counter->NoteChange();
    }
  }
};

// One open of a file: one position block's view of it.
struct Cursor {
  std::shared_ptr<SharedFile> file;
  std::unique_ptr<LockFile> locks;  // this open's own lock-file description
  bool readOnly = false;
  std::uint32_t generation = 0;

  bool hasPosition = false;  // a place in key order to go on from
  bool hasRecord = false;    // a current record (not deleted since)
  std::size_t key = 0;
  std::string image;
  std::int64_t sequence = 0;
  std::uint32_t position = 0;
  std::string lastData;  // the record as last read, to see whether another user changed it

  // Records read ahead along `aheadKey`, valid while the file's stamp stays `aheadStamp`.
  std::vector<StoredRecord> ahead;
  std::size_t aheadCount = 0;
  std::size_t aheadNext = 0;
  std::size_t aheadKey = 0;
  bool aheadForward = true;
  std::uint64_t aheadStamp = 0;
  std::size_t batchSize = kFirstBatch;

  std::vector<StoredRecord> scratch;

  const FileDefinition& Definition() const { return file->store->Definition(); }
  void DropReadAhead() {
    aheadCount = aheadNext = 0;
    batchSize = kFirstBatch;
  }
  void SetPosition(std::size_t keyNumber, const StoredRecord& record) {
    hasPosition = hasRecord = true;
    key = keyNumber;
    image = record.image;
    sequence = record.sequence;
    position = record.position;
    lastData = record.data;
  }
};

struct RecordManager::Impl {
  std::vector<std::unique_ptr<Cursor>> cursors;  // by slot number
  std::map<std::string, std::weak_ptr<SharedFile>> files;
  std::uint64_t token = 0;
  std::uint32_t generation = 0;
  bool inTransaction = false;

  Impl() {
    std::random_device random;
    token = (static_cast<std::uint64_t>(random()) << 32) ^ random();
  }

  Cursor* CursorOf(const std::uint8_t* block) {
    if (block == nullptr || std::memcmp(block, kMagic, sizeof kMagic) != 0) return nullptr;
    if (Read64(block + 16) != token) return nullptr;
    const std::uint32_t slot = Read32(block + 8);
    if (slot >= cursors.size() || !cursors[slot] || cursors[slot]->generation != Read32(block + 12)) {
      return nullptr;
    }
    return cursors[slot].get();
  }

  void CloseCursor(std::uint8_t* block) {
    const std::uint32_t slot = Read32(block + 8);
    Release(cursors[slot]);
  }

  void Release(std::unique_ptr<Cursor>& cursor) {
    if (!cursor) return;
    std::shared_ptr<SharedFile> file = cursor->file;
    cursor.reset();
    if (--file->opens == 0) files.erase(file->path);
  }

  std::int16_t Open(std::uint8_t* block, const void* keyBuffer, std::uint8_t keyLength, std::int8_t mode);
  std::int16_t Create(const void* dataBuffer, std::uint32_t dataLength, const void* keyBuffer,
                      std::uint8_t keyLength, std::int8_t keyNumber);
  std::int16_t Reset();
  std::int16_t Transaction(std::int16_t base);

  std::int16_t Get(Cursor& c, std::int16_t base, std::int16_t bias, std::uint8_t* data, std::uint32_t& dataLength,
                   std::uint8_t* key, std::uint8_t keyLength, std::int8_t keyNumber);
  std::int16_t Locate(Cursor& c, std::int16_t base, std::size_t keyNumber, const std::string& image,
                      const std::uint8_t* data, bool readAhead, StoredRecord*& found);
  std::int16_t ReadNextAhead(Cursor& c, bool forward, StoredRecord*& found);
  std::int16_t Insert(Cursor& c, const std::uint8_t* data, std::uint32_t dataLength, std::uint8_t* key,
                      std::int8_t keyNumber);
  std::int16_t Update(Cursor& c, const std::uint8_t* data, std::uint32_t dataLength, std::uint8_t* key,
                      std::int8_t keyNumber);
  std::int16_t Delete(Cursor& c);
  std::int16_t Stat(Cursor& c, std::uint8_t* data, std::uint32_t& dataLength);
  std::int16_t GetPosition(Cursor& c, std::uint8_t* data, std::uint32_t& dataLength);
  std::int16_t StartWrite(Cursor& c);
};

RecordManager::RecordManager() : impl_(std::make_unique<Impl>()) {}

RecordManager::~RecordManager() { impl_->Reset(); }

std::int16_t RecordManager::BTRCALL(std::int16_t operation, std::uint8_t* positionBlock, void* dataBuffer,
                                    std::uint32_t& dataLength, void* keyBuffer, std::uint8_t keyLength,
                                    std::int8_t keyNumber) {
  if (operation < 0 || operation >= 500) return status::kInvalidOperation;
  const std::int16_t base = operation % 100;
  const std::int16_t bias = operation - base;
  if (bias != 0 && !IsGet(base) && base != op::kBeginTransaction) return status::kInvalidOperation;
  auto* data = static_cast<std::uint8_t*>(dataBuffer);
  auto* key = static_cast<std::uint8_t*>(keyBuffer);
  if (data == nullptr) dataLength = 0;

  switch (base) {
    case op::kOpen:
      if (positionBlock == nullptr) return status::kFileNotOpen;
      return impl_->Open(positionBlock, keyBuffer, keyLength, keyNumber);
    case op::kCreate:
      return impl_->Create(dataBuffer, dataLength, keyBuffer, keyLength, keyNumber);
    case op::kReset:
      return impl_->Reset();
    case op::kBeginTransaction:
    case op::kEndTransaction:
    case op::kAbortTransaction:
      return impl_->Transaction(base);
    default:
      break;
  }

  Cursor* cursor = impl_->CursorOf(positionBlock);
  if (cursor == nullptr) return status::kFileNotOpen;
  switch (base) {
    case op::kClose:
      if (cursor->file->store->InTransaction()) return status::kNotAllowedInTransaction;
      impl_->CloseCursor(positionBlock);
      return status::kSuccess;
    case op::kInsert:
      return impl_->Insert(*cursor, data, dataLength, key, keyNumber);
    case op::kUpdate:
      return impl_->Update(*cursor, data, dataLength, key, keyNumber);
    case op::kDelete:
      return impl_->Delete(*cursor);
    case op::kStat:
      return impl_->Stat(*cursor, data, dataLength);
    case op::kGetPosition:
      return impl_->GetPosition(*cursor, data, dataLength);
    case op::kUnlock:
      cursor->locks->UnlockRecord();
      return status::kSuccess;
    default:
      if (IsGet(base)) return impl_->Get(*cursor, base, bias, data, dataLength, key, keyLength, keyNumber);
      return status::kInvalidOperation;
  }
}

std::int16_t RecordManager::Impl::Open(std::uint8_t* block, const void* keyBuffer, std::uint8_t keyLength,
                                       std::int8_t mode) {
  const std::string name = PathFromKeyBuffer(keyBuffer, keyLength);
  if (name.empty()) return status::kInvalidFileName;
  if (mode != openmode::kNormal && mode != openmode::kAccelerated && mode != openmode::kReadOnly &&
      mode != openmode::kVerify && mode != openmode::kExclusive) {
    return status::kAccessDenied;
  }
  const std::string path = ResolveHostPath(name);
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return status::kFileNotFound;
  if (!S_ISREG(info.st_mode)) return status::kInvalidFileName;
  char* real = ::realpath(path.c_str(), nullptr);
  const std::string canonical = real ? real : path;
  std::free(real);

  if (CursorOf(block) != nullptr) CloseCursor(block);

  auto cursor = std::make_unique<Cursor>();
  cursor->locks = LockFile::Open(canonical);
  if (!cursor->locks) return status::kIoError;
  if (!cursor->locks->LockForOpen(mode == openmode::kExclusive)) return status::kFileInUse;

  std::shared_ptr<SharedFile> file = files[canonical].lock();
  if (!file) {
    file = std::make_shared<SharedFile>();
    file->path = canonical;
    file->store = DataStore::Open(canonical);
    file->counter = LockFile::Open(canonical);
    if (!file->store || !file->counter) {
      files.erase(canonical);
      return status::kIoError;
    }
    files[canonical] = file;
  }
  ++file->opens;
  cursor->file = std::move(file);
  cursor->readOnly = mode == openmode::kReadOnly;
  cursor->generation = ++generation;

  std::uint32_t slot = 0;
  while (slot < cursors.size() && cursors[slot]) ++slot;
  if (slot == cursors.size()) cursors.emplace_back();
  cursors[slot] = std::move(cursor);

  std::memset(block, 0, kPositionBlockSize);
  std::memcpy(block, kMagic, sizeof kMagic);
  Write32(block + 8, slot);
  Write32(block + 12, cursors[slot]->generation);
  Write64(block + 16, token);
  return status::kSuccess;
}

std::int16_t RecordManager::Impl::Create(const void* dataBuffer, std::uint32_t dataLength, const void* keyBuffer,
                                         std::uint8_t keyLength, std::int8_t keyNumber) {
  const std::string name = PathFromKeyBuffer(keyBuffer, keyLength);
  if (name.empty()) return status::kInvalidFileName;
  if (dataBuffer == nullptr) return status::kCreateFailed;
  const std::optional<FileDefinition> definition =
      ParseDefinition(std::string_view(static_cast<const char*>(dataBuffer), dataLength));
  if (!definition) return status::kCreateFailed;
  const std::string path = ResolveHostPath(name);
  const bool replace = keyNumber != -1;
  struct stat info {};
  if (!replace && ::stat(path.c_str(), &info) == 0) return status::kFileExists;
  // Held for the whole create, so that nobody opens the file half made, and a file somebody
  // has open is not replaced under them.
  std::unique_ptr<LockFile> guard = LockFile::Open(path);
  if (!guard) return status::kCreateFailed;
  if (!guard->LockForOpen(true)) return status::kFileInUse;
  switch (DataStore::Create(path, *definition, replace)) {
    case StoreResult::kOk: return status::kSuccess;
    case StoreResult::kDuplicate: return status::kFileExists;
    default: return status::kCreateFailed;
  }
}

std::int16_t RecordManager::Impl::Reset() {
  if (inTransaction) Transaction(op::kAbortTransaction);
  for (std::unique_ptr<Cursor>& cursor : cursors) Release(cursor);
  cursors.clear();
  return status::kSuccess;
}

std::int16_t RecordManager::Impl::Transaction(std::int16_t base) {
  if (base == op::kBeginTransaction) {
    if (inTransaction) return status::kTransactionActive;
    inTransaction = true;
    return status::kSuccess;
  }
  if (!inTransaction) return status::kNoTransaction;
  inTransaction = false;
  std::int16_t result = status::kSuccess;
  for (auto& [path, weak] : files) {
    std::shared_ptr<SharedFile> file = weak.lock();
    if (!file || !file->store->InTransaction()) continue;
    const StoreResult outcome =
        base == op::kEndTransaction ? file->store->Commit() : file->store->Rollback();
    if (outcome != StoreResult::kOk && result == status::kSuccess) result = StatusOf(outcome);
    file->localChanges = 0;
    file->counter->NoteChange();  // a commit for everyone; after an abort, our own batches
  }
  return result;
}

std::int16_t RecordManager::Impl::StartWrite(Cursor& c) {
  if (c.readOnly) return status::kAccessDenied;
  if (inTransaction && !c.file->store->InTransaction()) return StatusOf(c.file->store->Begin());
  return status::kSuccess;
}

std::int16_t RecordManager::Impl::ReadNextAhead(Cursor& c, bool forward, StoredRecord*& found) {
  const std::uint64_t stamp = c.file->Stamp();
  const bool continuing = c.aheadKey == c.key && c.aheadForward == forward && c.aheadStamp == stamp;
  if (continuing && c.aheadNext < c.aheadCount) {
    found = &c.ahead[c.aheadNext++];
    return status::kSuccess;
  }
  // The batch grows while the reading goes on in one direction, and starts small again after
  // any other move or any change to the file.
  c.batchSize = continuing ? std::min(c.batchSize * 2, kLargestBatch) : kFirstBatch;
  c.aheadKey = c.key;
  c.aheadForward = forward;
  c.aheadStamp = stamp;
  c.aheadNext = 0;
  const StoreResult result = c.file->store->Find(c.key, forward ? Seek::kAfter : Seek::kBefore, c.image,
                                                 c.sequence, c.batchSize, c.ahead, c.aheadCount);
  if (result == StoreResult::kNotFound) return status::kEndOfFile;
  if (result != StoreResult::kOk) {
    c.DropReadAhead();
    return StatusOf(result);
  }
  found = &c.ahead[c.aheadNext++];
  return status::kSuccess;
}

std::int16_t RecordManager::Impl::Locate(Cursor& c, std::int16_t base, std::size_t keyNumber,
                                         const std::string& image, const std::uint8_t* data, bool readAhead,
                                         StoredRecord*& found) {
  if ((base == op::kGetNext || base == op::kGetPrevious) && readAhead) {
    return ReadNextAhead(c, base == op::kGetNext, found);
  }
  c.DropReadAhead();
  Seek seek = Seek::kFirst;
  std::int64_t sequence = 0;
  std::string from = image;
  switch (base) {
    case op::kGetEqual:
    case op::kGetGreaterOrEqual: seek = Seek::kAtLeast; break;
    case op::kGetGreater: seek = Seek::kAbove; break;
    case op::kGetLess: seek = Seek::kBelow; break;
    case op::kGetLessOrEqual: seek = Seek::kAtMost; break;
    case op::kGetFirst: seek = Seek::kFirst; break;
    case op::kGetLast: seek = Seek::kLast; break;
    case op::kGetNext: seek = Seek::kAfter; from = c.image; sequence = c.sequence; break;
    case op::kGetPrevious: seek = Seek::kBefore; from = c.image; sequence = c.sequence; break;
    case op::kGetDirect: {
      const std::uint32_t position = Read32(data);
      c.scratch.resize(1);
      const StoreResult result =
          position == 0 ? StoreResult::kNotFound : c.file->store->ReadAt(position, keyNumber, c.scratch[0]);
      if (result == StoreResult::kNotFound) return status::kBadRecordPosition;
      if (result != StoreResult::kOk) return StatusOf(result);
      found = &c.scratch[0];
      return status::kSuccess;
    }
    default: return status::kInvalidOperation;
  }
  std::size_t count = 0;
  const StoreResult result = c.file->store->Find(keyNumber, seek, from, sequence, 1, c.scratch, count);
  if (result == StoreResult::kNotFound) return base == op::kGetEqual ? status::kKeyNotFound : status::kEndOfFile;
  if (result != StoreResult::kOk) return StatusOf(result);
  if (base == op::kGetEqual && c.scratch[0].image != image) return status::kKeyNotFound;
  found = &c.scratch[0];
  return status::kSuccess;
}

std::int16_t RecordManager::Impl::Get(Cursor& c, std::int16_t base, std::int16_t bias, std::uint8_t* data,
                                      std::uint32_t& dataLength, std::uint8_t* key, std::uint8_t keyLength,
                                      std::int8_t keyNumber) {
  const FileDefinition& definition = c.Definition();
  const bool sequential = base == op::kGetNext || base == op::kGetPrevious;
  if (sequential) {
    if (!c.hasPosition) return status::kNoCurrentPosition;
    if (keyNumber != static_cast<std::int8_t>(c.key)) return status::kDifferentKeyNumber;
  }
  if (keyNumber < 0 || static_cast<std::size_t>(keyNumber) >= definition.keys.size()) {
    return status::kInvalidKeyNumber;
  }
  if (base == op::kGetDirect && (data == nullptr || dataLength < 4)) return status::kDataBufferTooShort;
  const std::size_t keyIndex = static_cast<std::size_t>(keyNumber);
  const KeySpec& spec = definition.keys[keyIndex];
  if (key == nullptr) return status::kKeyBufferTooShort;

  std::string image;
  const bool searchesByKey = base == op::kGetEqual || (base >= op::kGetGreater && base <= op::kGetLessOrEqual);
  if (searchesByKey) {
    if (keyLength < spec.Length()) return status::kKeyBufferTooShort;
    image = KeyImage(definition, spec, std::string_view(reinterpret_cast<const char*>(key), spec.Length()));
  }

  const bool locking = bias != 0;
  const bool wait = bias == op::kLockWait || bias == op::kMultipleLockWait;
  StoredRecord* found = nullptr;
  StoredRecord locked;
  for (int attempt = 0;; ++attempt) {
    const std::int16_t located = Locate(c, base, keyIndex, image, data, !locking, found);
    if (located != status::kSuccess) return located;
    if (!locking) break;
    switch (c.locks->LockRecord(found->position, wait)) {
      case LockFile::RecordLock::kInUse: return status::kRecordInUse;
      case LockFile::RecordLock::kFailed: return status::kIoError;
      case LockFile::RecordLock::kLocked: break;
    }
    // Read again under the lock: what was found may have changed before the lock was held.
    const StoreResult reread = c.file->store->ReadAt(found->position, keyIndex, locked);
    if (reread == StoreResult::kOk && (locked.image == found->image || base == op::kGetDirect)) {
      found = &locked;
      break;
    }
    c.locks->UnlockRecord();
    if (reread != StoreResult::kOk && reread != StoreResult::kNotFound) return StatusOf(reread);
    if (attempt + 1 >= kLockedReadAttempts) return status::kConflict;
  }

  c.SetPosition(keyIndex, *found);
  const std::size_t recordLength = found->data.size();
  const std::size_t copied = std::min<std::size_t>(dataLength, recordLength);
  if (copied > 0) std::memcpy(data, found->data.data(), copied);
  dataLength = static_cast<std::uint32_t>(copied);
  const std::string keyValue = KeyValueOf(spec, found->data);
  std::memcpy(key, keyValue.data(), keyValue.size());
  return copied < recordLength ? status::kDataBufferTooShort : status::kSuccess;
}

std::int16_t RecordManager::Impl::Insert(Cursor& c, const std::uint8_t* data, std::uint32_t dataLength,
                                         std::uint8_t* key, std::int8_t keyNumber) {
  const FileDefinition& definition = c.Definition();
  if (data == nullptr || dataLength != definition.recordLength) return status::kDataBufferTooShort;
  if (keyNumber < -1 || keyNumber >= static_cast<std::int8_t>(definition.keys.size())) {
    return status::kInvalidKeyNumber;
  }
  if (const std::int16_t started = StartWrite(c); started != status::kSuccess) return started;
  const std::string record(reinterpret_cast<const char*>(data), dataLength);
  std::uint32_t position = 0;
  const StoreResult result = c.file->store->Insert(record, position);
  if (result != StoreResult::kOk) return StatusOf(result);
  c.file->NoteWrite(inTransaction);
  if (keyNumber < 0) return status::kSuccess;  // -1: the position stays where it was

  c.DropReadAhead();
  StoredRecord inserted;
  const std::size_t keyIndex = static_cast<std::size_t>(keyNumber);
  if (c.file->store->ReadAt(position, keyIndex, inserted) == StoreResult::kOk) c.SetPosition(keyIndex, inserted);
  if (key != nullptr) {
    const std::string keyValue = KeyValueOf(definition.keys[keyIndex], record);
    std::memcpy(key, keyValue.data(), keyValue.size());
  }
  return status::kSuccess;
}

std::int16_t RecordManager::Impl::Update(Cursor& c, const std::uint8_t* data, std::uint32_t dataLength,
                                         std::uint8_t* key, std::int8_t keyNumber) {
  const FileDefinition& definition = c.Definition();
  if (!c.hasRecord) return status::kNoCurrentPosition;
  if (data == nullptr || dataLength != definition.recordLength) return status::kDataBufferTooShort;
  if (keyNumber < 0 || keyNumber >= static_cast<std::int8_t>(definition.keys.size())) {
    return status::kInvalidKeyNumber;
  }
  const std::string record(reinterpret_cast<const char*>(data), dataLength);
  for (const KeySpec& spec : definition.keys) {
    if (!spec.Modifiable() && KeyValueOf(spec, record) != KeyValueOf(spec, c.lastData)) {
      return status::kKeyNotModifiable;
    }
  }
  if (c.locks->RecordInUseByOthers(c.position)) return status::kRecordInUse;
  if (const std::int16_t started = StartWrite(c); started != status::kSuccess) return started;
  const StoreResult result = c.file->store->Update(c.position, c.lastData, record);
  if (result != StoreResult::kOk) return StatusOf(result);
  c.file->NoteWrite(inTransaction);
  c.locks->UnlockRecord();
  c.DropReadAhead();
  StoredRecord updated;
  if (c.file->store->ReadAt(c.position, c.key, updated) == StoreResult::kOk) c.SetPosition(c.key, updated);
  if (key != nullptr) {
    const std::string keyValue = KeyValueOf(definition.keys[static_cast<std::size_t>(keyNumber)], record);
    std::memcpy(key, keyValue.data(), keyValue.size());
  }
  return status::kSuccess;
}

std::int16_t RecordManager::Impl::Delete(Cursor& c) {
  if (!c.hasRecord) return status::kNoCurrentPosition;
  if (c.locks->RecordInUseByOthers(c.position)) return status::kRecordInUse;
  if (const std::int16_t started = StartWrite(c); started != status::kSuccess) return started;
  const StoreResult result = c.file->store->Delete(c.position, c.lastData);
  if (result != StoreResult::kOk) return StatusOf(result);
  c.file->NoteWrite(inTransaction);
  c.locks->UnlockRecord();
  // The place in key order stays, so that Get Next and Get Previous go on from it.
  c.hasRecord = false;
  c.DropReadAhead();
  return status::kSuccess;
}

std::int16_t RecordManager::Impl::Stat(Cursor& c, std::uint8_t* data, std::uint32_t& dataLength) {
  // The data layer asks twice before every keyed read: the answer is built only when the
  // file has changed since.
  SharedFile& file = *c.file;
  const std::uint64_t stamp = file.Stamp();
  if (stamp != file.statStamp) {
    std::uint32_t count = 0;
    const StoreResult result = file.store->RecordCount(count);
    if (result != StoreResult::kOk) return StatusOf(result);
    file.statBytes = c.Definition().Encode(count);
    file.statStamp = stamp;
  }
  const std::string& bytes = file.statBytes;
  if (data == nullptr || dataLength < bytes.size()) return status::kDataBufferTooShort;
  std::memcpy(data, bytes.data(), bytes.size());
  dataLength = static_cast<std::uint32_t>(bytes.size());
  return status::kSuccess;
}

std::int16_t RecordManager::Impl::GetPosition(Cursor& c, std::uint8_t* data, std::uint32_t& dataLength) {
  if (!c.hasRecord) return status::kNoCurrentPosition;
  if (data == nullptr || dataLength < 4) return status::kDataBufferTooShort;
  Write32(data, c.position);
  dataLength = 4;
  return status::kSuccess;
}

}  // namespace duv::recman
