#pragma once
// The program's one layer over the record manager: the table of registered data files, keyed
// reads, moves, saved positions, key layouts and key normalisation, per-file lock modes with
// the wait on locked records, the opening (or creating) of data files, and the close-all.
// Everything reaches the record manager through BTRCALL alone.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>

#include "console/Keyboard.h"
#include "console/WindowStack.h"
#include "recman/RecordManager.h"
#include "session/Session.h"

namespace duv {

namespace datastatus {
inline constexpr std::int16_t kFileNotOpen = 3;
inline constexpr std::int16_t kAlreadyOpen = 1002;
inline constexpr std::int16_t kNoFreeSlot = 1003;
inline constexpr std::int16_t kNoSuchKey = 1004;
}  // namespace datastatus

enum LockMode : std::int16_t { NoLock = 0, LockWait = 1, LockNoWait = 2 };

inline constexpr std::int16_t kFileSlots = 40;
inline constexpr std::size_t kDataBufferSize = 1536;
inline constexpr std::size_t kKeyBufferSize = 256;

struct FileSlot {
  std::int16_t fileNumber = 0;  // 0: a free slot
  std::array<std::uint8_t, recman::kPositionBlockSize> positionBlock{};
  std::string* recordBuffer = nullptr;  // the caller's record, kept at least recordLength long
  std::int32_t recordLength = 0;
  std::int16_t keyNumber = 0;
  std::string keyValue;  // as long as the current key
  std::int16_t lockMode = NoLock;
};

// What the data layer needs from outside besides the record manager; tests replace them.
struct DataFileHooks {
  std::function<void(int milliseconds)> pause;  // empty: sleep
  std::function<double()> randomFraction;       // in [0, 1); empty: a generator of our own
  std::function<void()> endProgram;             // after an open failure; empty: return
};

// How a data file name splits: the first "." of its last component starts the extension,
// ".dat" when there is none.
struct DataFileName {
  std::string directory;
  std::string base;
  std::string extension;
  std::string Path() const { return directory + base + extension; }
};
DataFileName SplitDataFileName(const std::string& name);

// The Create definition a dictionary file holds (a 16-bit length, then that many bytes), or
// nothing when the file is cut short or the definition would not fit the data buffer.
std::optional<std::string> DictionaryDefinition(const std::string& dictionary);

// The texts of the lock wait and of an open failure, by language code.
std::string LockWaitMessage(const std::string& languageCode);
std::string OpenFailureText(const std::string& languageCode);

class DataFiles {
 public:
  DataFiles(recman::RecordCalls& manager, const SessionSettings& settings, WindowStack& windows,
            Keyboard& keyboard, DataFileHooks hooks = {});

  // The slot holding the file number; else minus the highest free slot; 0 when neither.
  std::int16_t FindFileSlot(std::int16_t fileNumber) const;
  void SetLockMode(std::int16_t fileNumber, const std::string& letters, std::int16_t& status);
  // Direction 0 reads the key equal to the value, > 0 greater or equal, < 0 less or equal.
  void GetByKey(std::int16_t fileNumber, std::int16_t keyNumber, std::string keyValue, std::int16_t direction,
                std::int16_t& status);
  void MoveRecords(std::int16_t fileNumber, std::int16_t count, std::int16_t& status);
  // Position 0: the current record's position (0 when there is none). Otherwise the record at
  // that position is read and the status returned.
  std::int32_t DirectAccess(std::int16_t fileNumber, std::int32_t position);
  void ReadKeyLayout(std::int16_t fileNumber, std::int16_t keyNumber, std::int16_t& keyLength,
                     std::int16_t& recordLength);
  std::string CurrentKeyText(std::int16_t fileNumber);
  std::string NormaliseKey(const std::string& keyValue, std::int16_t fileNumber);
  void CloseAllDataFiles(std::int16_t& status);

  // Registers the file, opens it (creating it from its dictionary when it does not exist) and
  // primes the slot. A failure other than 1002 and 1003 shows its message, waits for a key and
  // ends the program through the hook.
  void OpenDataFile(std::int16_t fileNumber, const std::string& name, std::string& recordBuffer,
                    std::int16_t& status);

  const FileSlot& Slot(std::int16_t index) const { return slots_[static_cast<std::size_t>(index)]; }
  const std::string& LockModeStack() const { return lockModeStack_; }

 private:
  FileSlot* Registered(std::int16_t fileNumber);
  void CallWithLockRetry(FileSlot& slot, std::int16_t& operation, std::int16_t& status);
  // The two Stat calls of a key-layout query: the first, then the second with the key buffer
  // the first left. False when the call fails.
  bool ReadStat(FileSlot& slot, std::array<std::uint8_t, kDataBufferSize>& result,
                std::array<std::uint8_t, kKeyBufferSize>& key);
  bool ReadStatAgain(FileSlot& slot, std::array<std::uint8_t, kDataBufferSize>& result,
                     std::array<std::uint8_t, kKeyBufferSize>& key);
  void Pause(int milliseconds);
  double RandomFraction();
  std::int16_t OpenOrCreate(FileSlot& slot, const DataFileName& name);
  void ReportOpenFailure(const std::string& name, std::int16_t status);

  recman::RecordCalls& manager_;
  const SessionSettings& settings_;
  WindowStack& windows_;
  Keyboard& keyboard_;
  DataFileHooks hooks_;
  std::mt19937 random_{std::random_device{}()};
  std::array<FileSlot, kFileSlots + 1> slots_{};  // slot 0 is the close-all scratch
  std::string lockModeStack_;
};

}  // namespace duv
