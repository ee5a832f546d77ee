#pragma once
// Our record manager: keyed, multi-user record files reached through the single entry point
// BTRCALL with the published operation codes, position blocks, buffers and statuses. Each
// data file is an SQLite database; see DataStore.h and LockFile.h for how files are kept and
// shared.
//
// A RecordManager is one client: Reset closes what it holds, and its record locks conflict
// with those of every other client, in this process or another. It is used from one thread.

#include <cstdint>
#include <memory>

namespace duv::recman {

inline constexpr std::size_t kPositionBlockSize = 128;

namespace op {
inline constexpr std::int16_t kOpen = 0;
inline constexpr std::int16_t kClose = 1;
inline constexpr std::int16_t kInsert = 2;
inline constexpr std::int16_t kUpdate = 3;
inline constexpr std::int16_t kDelete = 4;
inline constexpr std::int16_t kGetEqual = 5;
inline constexpr std::int16_t kGetNext = 6;
inline constexpr std::int16_t kGetPrevious = 7;
inline constexpr std::int16_t kGetGreater = 8;
inline constexpr std::int16_t kGetGreaterOrEqual = 9;
inline constexpr std::int16_t kGetLess = 10;
inline constexpr std::int16_t kGetLessOrEqual = 11;
inline constexpr std::int16_t kGetFirst = 12;
inline constexpr std::int16_t kGetLast = 13;
inline constexpr std::int16_t kCreate = 14;
inline constexpr std::int16_t kStat = 15;
inline constexpr std::int16_t kBeginTransaction = 19;
inline constexpr std::int16_t kEndTransaction = 20;
inline constexpr std::int16_t kAbortTransaction = 21;
inline constexpr std::int16_t kGetPosition = 22;
inline constexpr std::int16_t kGetDirect = 23;
inline constexpr std::int16_t kUnlock = 27;
inline constexpr std::int16_t kReset = 28;
// Added to a get: a single-record lock, waiting for it or not.
inline constexpr std::int16_t kLockWait = 100;
inline constexpr std::int16_t kLockNoWait = 200;
// Multiple-record locks; this record manager holds one lock per position block, so they are
// taken as the single-record ones.
inline constexpr std::int16_t kMultipleLockWait = 300;
inline constexpr std::int16_t kMultipleLockNoWait = 400;
}  // namespace op

// Open modes, passed as the key number of Open.
namespace openmode {
inline constexpr std::int8_t kNormal = 0;
inline constexpr std::int8_t kAccelerated = -1;  // opened as normal
inline constexpr std::int8_t kReadOnly = -2;
inline constexpr std::int8_t kVerify = -3;  // opened as normal
inline constexpr std::int8_t kExclusive = -4;
}  // namespace openmode

namespace status {
inline constexpr std::int16_t kSuccess = 0;
inline constexpr std::int16_t kInvalidOperation = 1;
inline constexpr std::int16_t kIoError = 2;
inline constexpr std::int16_t kFileNotOpen = 3;
inline constexpr std::int16_t kKeyNotFound = 4;
inline constexpr std::int16_t kDuplicateKey = 5;
inline constexpr std::int16_t kInvalidKeyNumber = 6;
inline constexpr std::int16_t kDifferentKeyNumber = 7;
inline constexpr std::int16_t kNoCurrentPosition = 8;
inline constexpr std::int16_t kEndOfFile = 9;
inline constexpr std::int16_t kKeyNotModifiable = 10;
inline constexpr std::int16_t kInvalidFileName = 11;
inline constexpr std::int16_t kFileNotFound = 12;
inline constexpr std::int16_t kKeyBufferTooShort = 21;
inline constexpr std::int16_t kDataBufferTooShort = 22;
inline constexpr std::int16_t kCreateFailed = 25;
inline constexpr std::int16_t kTransactionActive = 37;
inline constexpr std::int16_t kNoTransaction = 38;  // End or Abort without Begin
inline constexpr std::int16_t kNotAllowedInTransaction = 41;
inline constexpr std::int16_t kBadRecordPosition = 43;
inline constexpr std::int16_t kAccessDenied = 46;
inline constexpr std::int16_t kFileExists = 59;
inline constexpr std::int16_t kConflict = 80;
inline constexpr std::int16_t kRecordInUse = 84;
inline constexpr std::int16_t kFileInUse = 85;
}  // namespace status

// The entry point as its callers see it, so that a caller can be tested against a recording
// stand-in.
class RecordCalls {
 public:
  virtual ~RecordCalls() = default;
  virtual std::int16_t BTRCALL(std::int16_t operation, std::uint8_t* positionBlock, void* dataBuffer,
                               std::uint32_t& dataLength, void* keyBuffer, std::uint8_t keyLength,
                               std::int8_t keyNumber) = 0;
};

class RecordManager final : public RecordCalls {
 public:
  RecordManager();
  ~RecordManager() override;  // closes everything, as Reset does
  RecordManager(const RecordManager&) = delete;
  RecordManager& operator=(const RecordManager&) = delete;

  // One call of the published interface. The position block is the caller's 128 bytes, kept
  // unchanged between calls on the same file. The data length is the size offered on the way
  // in and the bytes returned on the way out. The key buffer must hold the longest key of the
  // file: gets write the record's whole key value there, in record byte order; the key length
  // says how many bytes of it a keyed search reads. Create and Open take a path there, up to
  // the key length or a 0x00 byte.
  std::int16_t BTRCALL(std::int16_t operation, std::uint8_t* positionBlock, void* dataBuffer,
                       std::uint32_t& dataLength, void* keyBuffer, std::uint8_t keyLength,
                       std::int8_t keyNumber) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace duv::recman
