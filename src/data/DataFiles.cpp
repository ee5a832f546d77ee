#include "data/DataFiles.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

namespace duv {

namespace {

using Buffer = std::array<std::uint8_t, kDataBufferSize>;
using KeyBuffer = std::array<std::uint8_t, kKeyBufferSize>;

constexpr std::int16_t kLockBias = 200;

// What the layer reads of a Stat result: 16-byte segment specifications from offset 16, with
// their length at +2 and their flags at +4.
constexpr std::size_t kSegmentSize = 16;
constexpr std::uint16_t kAnotherSegment = 0x10;
constexpr std::uint16_t kBinarySegment = 0x04;
constexpr std::uint16_t kCollatingSegment = 0x20;

// Bytes beyond the buffer count as 0.
std::uint16_t Read16(const Buffer& buffer, std::size_t offset) {
  if (offset + 1 >= buffer.size()) return 0;
  return static_cast<std::uint16_t>(buffer[offset] | (buffer[offset + 1] << 8));
}

std::uint8_t ByteAt(const Buffer& buffer, std::size_t offset) {
  return offset < buffer.size() ? buffer[offset] : 0;
}

bool TakesLockBias(std::int16_t operation) {
  return (operation >= 5 && operation <= 13) || operation == 19 || (operation >= 22 && operation <= 24) ||
         (operation >= 33 && operation <= 35);
}

std::size_t ContentLength(const KeyBuffer& key) {
  return static_cast<std::size_t>(std::find(key.begin(), key.end(), 0) - key.begin());
}

// The segment specifications of one key, from `offset` on: the length summed, and where the
// next key starts.
std::size_t StepOverKey(const Buffer& stat, std::size_t& offset) {
  std::size_t length = 0;
  std::uint16_t flags = 0;
  do {
    length += Read16(stat, offset + 2);
    flags = Read16(stat, offset + 4);
    offset += kSegmentSize;
  } while ((flags & kAnotherSegment) && offset < stat.size());
  return length;
}

}  // namespace

DataFiles::DataFiles(recman::RecordCalls& manager, const SessionSettings& settings, WindowStack& windows,
                     Keyboard& keyboard, DataFileHooks hooks)
    : manager_(manager), settings_(settings), windows_(windows), keyboard_(keyboard), hooks_(std::move(hooks)) {}

std::int16_t DataFiles::FindFileSlot(std::int16_t fileNumber) const {
  std::int16_t pending = 0;
  for (std::int16_t i = 1; i <= kFileSlots; ++i) {
    const std::int16_t number = slots_[static_cast<std::size_t>(i)].fileNumber;
    if (number == fileNumber) return i;
    if (number == 0) pending = static_cast<std::int16_t>(-i);
  }
  return pending;
}

FileSlot* DataFiles::Registered(std::int16_t fileNumber) {
  if (fileNumber == 0) return nullptr;
  const std::int16_t index = FindFileSlot(fileNumber);
  return index > 0 ? &slots_[static_cast<std::size_t>(index)] : nullptr;
}

void DataFiles::Pause(int milliseconds) {
  // The lock-wait message must be on the screen during the pause, not after it.
  keyboard_.Device().Refresh();
  if (hooks_.pause) {
    hooks_.pause(milliseconds);
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
}

double DataFiles::RandomFraction() {
  if (hooks_.randomFraction) return hooks_.randomFraction();
  return std::uniform_real_distribution<double>(0.0, 1.0)(random_);
}

void DataFiles::CallWithLockRetry(FileSlot& slot, std::int16_t& operation, std::int16_t& status) {
  if (TakesLockBias(operation) && slot.lockMode != NoLock) operation = static_cast<std::int16_t>(operation + kLockBias);
  const std::size_t recordLength = std::min<std::size_t>(static_cast<std::size_t>(std::max(slot.recordLength, 0)),
                                                         kDataBufferSize);
  int attempts = 0;
  Buffer data;
  KeyBuffer key;
  while (true) {
    if (attempts == 1) {
      std::string message = LockWaitMessage(settings_.languageCode);
      windows_.ShowMessage(24, message);
    }
    data.fill(' ');
    if (slot.recordBuffer != nullptr) {
      std::copy_n(slot.recordBuffer->begin(), std::min(recordLength, slot.recordBuffer->size()), data.begin());
    }
    std::uint32_t dataLength = static_cast<std::uint32_t>(recordLength);
    const std::uint8_t filler = (operation == 8 || operation == 9) ? 0x00 : (operation == 10 || operation == 11) ? 0xff : ' ';
    key.fill(filler);
    const std::size_t keyLength = std::min(slot.keyValue.size(), kKeyBufferSize - 1);
    std::copy_n(slot.keyValue.begin(), keyLength, key.begin());

    status = manager_.BTRCALL(operation, slot.positionBlock.data(), data.data(), dataLength, key.data(),
                              static_cast<std::uint8_t>(keyLength), static_cast<std::int8_t>(slot.keyNumber));

    if (slot.recordBuffer != nullptr) {
      const std::size_t copied = std::min({recordLength, static_cast<std::size_t>(dataLength), slot.recordBuffer->size()});
      std::copy_n(data.begin(), copied, slot.recordBuffer->begin());
    }
    slot.keyValue.assign(key.begin(), key.begin() + static_cast<std::ptrdiff_t>(keyLength));

    if (!((status == 84 || status == 85) && slot.lockMode == LockWait)) break;
    Pause(static_cast<int>(std::lround(10000.0 * RandomFraction() + 1.0)));
    if (attempts < 2) ++attempts;
  }
  if (attempts != 0) windows_.PopWindow();
}

void DataFiles::SetLockMode(std::int16_t fileNumber, const std::string& letters, std::int16_t& status) {
  FileSlot* slot = Registered(fileNumber);
  if (slot == nullptr) {
    status = datastatus::kFileNotOpen;
    return;
  }
  const char index = static_cast<char>(slot - slots_.data());
  for (const char letter : letters) {
    switch (letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter) {
      case 'D': slot->lockMode = NoLock; break;
      case 'A': slot->lockMode = LockWait; break;
      case 'B': slot->lockMode = LockNoWait; break;
      case '+':
        lockModeStack_.push_back(index);
        lockModeStack_.push_back(static_cast<char>(slot->lockMode));
        break;
      case '-':
        for (std::size_t pair = lockModeStack_.size() / 2; pair-- > 0;) {
          if (lockModeStack_[2 * pair] == index) {
            slot->lockMode = static_cast<std::int16_t>(static_cast<unsigned char>(lockModeStack_[2 * pair + 1]));
            lockModeStack_.erase(2 * pair, 2);
            break;
          }
        }
        break;
      default: break;
    }
  }
}

void DataFiles::GetByKey(std::int16_t fileNumber, std::int16_t keyNumber, std::string keyValue,
                         std::int16_t direction, std::int16_t& status) {
  FileSlot* slot = Registered(fileNumber);
  if (slot == nullptr) {
    status = datastatus::kFileNotOpen;
    return;
  }
  std::int16_t keyLength = 0, recordLength = 0;
  ReadKeyLayout(fileNumber, keyNumber, keyLength, recordLength);
  if (keyLength == 0) {
    status = datastatus::kNoSuchKey;
    return;
  }
  slot->keyNumber = keyNumber;
  keyValue.resize(static_cast<std::size_t>(keyLength), '\0');
  slot->keyValue = std::move(keyValue);
  std::int16_t operation = direction == 0 ? 5 : direction > 0 ? 9 : 11;
  status = 0;
  CallWithLockRetry(*slot, operation, status);
  if (status == 22) status = 0;
}

void DataFiles::MoveRecords(std::int16_t fileNumber, std::int16_t count, std::int16_t& status) {
  FileSlot* slot = Registered(fileNumber);
  if (slot == nullptr) {
    status = datastatus::kFileNotOpen;
    return;
  }
  const std::int16_t operation = count < 0 ? 7 : 6;
  status = 0;
  int n = std::abs(static_cast<int>(count));
  KeyBuffer scratchKey{};
  Buffer scratchData;
  while (n > 1 && status == 0) {
    scratchData.fill(' ');
    std::uint32_t dataLength = kDataBufferSize;
    status = manager_.BTRCALL(operation, slot->positionBlock.data(), scratchData.data(), dataLength,
                              scratchKey.data(), static_cast<std::uint8_t>(std::min<std::size_t>(ContentLength(scratchKey), 255)),
                              static_cast<std::int8_t>(slot->keyNumber));
    if (status == 22) status = 0;
    const std::size_t content = std::min(ContentLength(scratchKey), slot->keyValue.size());
    slot->keyValue.assign(scratchKey.begin(), scratchKey.begin() + static_cast<std::ptrdiff_t>(content));
    --n;
  }
  if (n == 0 || status != 0) return;
  std::int16_t last = operation;
  CallWithLockRetry(*slot, last, status);
  if (status == 22) status = 0;
}

std::int32_t DataFiles::DirectAccess(std::int16_t fileNumber, std::int32_t position) {
  FileSlot* slot = Registered(fileNumber);
  if (slot == nullptr) return position == 0 ? 0 : datastatus::kFileNotOpen;
  Buffer data;
  data.fill(' ');
  if (position == 0) {
    std::fill_n(data.begin(), 4, 0);
    std::uint32_t dataLength = kDataBufferSize;
    std::uint8_t key[4] = {};
    const std::int16_t status =
        manager_.BTRCALL(22, slot->positionBlock.data(), data.data(), dataLength, key, 0, 0);
    if (status != 0) return 0;
    return static_cast<std::int32_t>(data[0] | (data[1] << 8) | (data[2] << 16) |
                                     (static_cast<std::uint32_t>(data[3]) << 24));
  }
  const auto value = static_cast<std::uint32_t>(position);
  for (int i = 0; i < 4; ++i) data[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
  std::uint32_t dataLength = kDataBufferSize;
  KeyBuffer key{};
  std::int16_t status = manager_.BTRCALL(23, slot->positionBlock.data(), data.data(), dataLength, key.data(), 0,
                                         static_cast<std::int8_t>(slot->keyNumber));
  const std::size_t content = std::min(ContentLength(key), slot->keyValue.size());
  slot->keyValue.assign(key.begin(), key.begin() + static_cast<std::ptrdiff_t>(content));
  if (status == 22) status = 0;
  if (status == 0 && slot->recordBuffer != nullptr) {
    const std::size_t copied = std::min({static_cast<std::size_t>(std::max(slot->recordLength, 0)),
                                         static_cast<std::size_t>(dataLength), slot->recordBuffer->size(),
                                         kDataBufferSize});
    std::copy_n(data.begin(), copied, slot->recordBuffer->begin());
  }
  return status;
}

bool DataFiles::ReadStat(FileSlot& slot, Buffer& result, KeyBuffer& key) {
  result.fill(' ');
  key.fill(' ');
  key[255] = 0;
  std::uint32_t dataLength = kDataBufferSize;
  return manager_.BTRCALL(15, slot.positionBlock.data(), result.data(), dataLength, key.data(), 255, 0) == 0;
}

bool DataFiles::ReadStatAgain(FileSlot& slot, Buffer& result, KeyBuffer& key) {
  const std::size_t pageSize = std::min<std::size_t>(Read16(result, 2), kDataBufferSize);
  result.fill(' ');
  std::fill_n(result.begin(), pageSize, 0);
  std::uint32_t dataLength = kDataBufferSize;
  return manager_.BTRCALL(15, slot.positionBlock.data(), result.data(), dataLength, key.data(),
                          static_cast<std::uint8_t>(std::min<std::size_t>(ContentLength(key), 255)), 0) == 0;
}

void DataFiles::ReadKeyLayout(std::int16_t fileNumber, std::int16_t keyNumber, std::int16_t& keyLength,
                              std::int16_t& recordLength) {
  keyLength = 0;
  recordLength = 0;
  FileSlot* slot = Registered(fileNumber);
  if (slot == nullptr) return;
  // A Stat that fails leaves the lengths 0: its buffer holds no layout to read.
  Buffer stat;
  KeyBuffer key;
  if (!ReadStat(*slot, stat, key)) return;
  recordLength = static_cast<std::int16_t>(Read16(stat, 0));
  const std::uint16_t keys = Read16(stat, 4);
  if (keyNumber < 0 || keyNumber >= keys) return;
  if (!ReadStatAgain(*slot, stat, key)) return;
  std::size_t offset = kSegmentSize;
  for (std::int16_t k = 0; k <= keyNumber; ++k) {
    keyLength = static_cast<std::int16_t>(StepOverKey(stat, offset));
  }
}

std::string DataFiles::NormaliseKey(const std::string& keyValue, std::int16_t fileNumber) {
  FileSlot* slot = Registered(fileNumber);
  if (slot == nullptr) return keyValue;
  Buffer stat;
  KeyBuffer statKey;
  if (!ReadStat(*slot, stat, statKey) || !ReadStatAgain(*slot, stat, statKey)) return keyValue;
  const std::uint16_t keys = Read16(stat, 4);
  std::size_t collatingStart = kSegmentSize;
  for (std::uint16_t k = 0; k < keys && collatingStart < stat.size(); ++k) StepOverKey(stat, collatingStart);
  const std::size_t table = collatingStart + 9;

  std::string key = keyValue;
  std::size_t offset = kSegmentSize;
  for (std::int16_t k = 0; k <= slot->keyNumber && offset < stat.size(); ++k) {
    std::size_t p = 0;
    std::uint16_t flags = 0;
    do {
      const std::size_t length = Read16(stat, offset + 2);
      flags = Read16(stat, offset + 4);
      offset += kSegmentSize;
      if (k != slot->keyNumber) continue;
      if (flags & kBinarySegment) {
        if (key.size() < p + length) key.resize(p + length, '\0');
        std::reverse(key.begin() + static_cast<std::ptrdiff_t>(p), key.begin() + static_cast<std::ptrdiff_t>(p + length));
      } else if (flags & kCollatingSegment) {
        for (std::size_t i = p; i < p + length && i < key.size(); ++i) {
          key[i] = static_cast<char>(ByteAt(stat, table + static_cast<unsigned char>(key[i])));
        }
      }
      p += length;
    } while ((flags & kAnotherSegment) && offset < stat.size());
  }
  return key;
}

std::string DataFiles::CurrentKeyText(std::int16_t fileNumber) {
  FileSlot* slot = Registered(fileNumber);
  if (slot == nullptr) return {};
  return NormaliseKey(slot->keyValue, fileNumber);
}

void DataFiles::CloseAllDataFiles(std::int16_t& status) {
  FileSlot& scratch = slots_[0];
  scratch.positionBlock.fill(' ');
  std::uint8_t data[4] = {};
  std::uint8_t key[4] = {};
  std::uint32_t dataLength = 0;
  status = manager_.BTRCALL(28, scratch.positionBlock.data(), data, dataLength, key, 0, 0);
  if (status != 0) return;
  for (std::size_t i = 1; i < slots_.size(); ++i) slots_[i] = FileSlot{};
}

}  // namespace duv
