#pragma once
// Small helpers for tests on real record-manager files: definitions built in a line, and one
// open file driven through BTRCALL with ordinary strings.

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "recman/FileDefinition.h"
#include "recman/RecordManager.h"

namespace duv::testing {

using recman::FileDefinition;
using recman::KeySpec;
using recman::SegmentSpec;

inline SegmentSpec Segment(std::uint16_t position, std::uint16_t length, std::uint16_t flags = 0,
                           std::uint8_t extendedType = 0) {
  SegmentSpec s;
  s.position = position;
  s.length = length;
  s.flags = flags;
  s.extendedType = extendedType;
  return s;
}

// Each key is a list of segments; the "another segment follows" flag is set here.
inline FileDefinition Definition(std::uint16_t recordLength, std::vector<std::vector<SegmentSpec>> keys) {
  FileDefinition d;
  d.recordLength = recordLength;
  d.pageSize = 1024;
  for (auto& segments : keys) {
    for (std::size_t i = 0; i + 1 < segments.size(); ++i) segments[i].flags |= recman::keyflag::kSegmented;
    d.keys.push_back(KeySpec{segments});
  }
  return d;
}

// A record of `length` bytes: `text` then blanks.
inline std::string Record(const std::string& text, std::size_t length) {
  std::string r = text.substr(0, length);
  r.resize(length, ' ');
  return r;
}

class RecordFile {
 public:
  explicit RecordFile(recman::RecordManager& manager) : manager_(manager) { block.fill(0); }

  std::int16_t Create(const std::string& path, const FileDefinition& definition, std::int8_t keyNumber = -1) {
    std::string buffer = definition.Encode();
    buffer.resize(1536, ' ');
    std::uint32_t length = static_cast<std::uint32_t>(buffer.size());
    std::string key = path + '\0';
    return manager_.BTRCALL(recman::op::kCreate, block.data(), buffer.data(), length, key.data(),
                            static_cast<std::uint8_t>(path.size()), keyNumber);
  }

  std::int16_t Open(const std::string& path, std::int8_t mode = 0) {
    char owner[5] = {'1', '2', '3', '4', '\0'};
    std::uint32_t length = 5;
    std::string key = path + '\0';
    return manager_.BTRCALL(recman::op::kOpen, block.data(), owner, length, key.data(),
                            static_cast<std::uint8_t>(path.size()), mode);
  }

  std::int16_t Close() { return Call(recman::op::kClose, 0); }

  std::int16_t Insert(const std::string& data, std::int8_t keyNumber = 0) {
    record = data;
    return Call(recman::op::kInsert, keyNumber, static_cast<std::uint32_t>(data.size()));
  }

  std::int16_t Update(const std::string& data, std::int8_t keyNumber = 0) {
    record = data;
    return Call(recman::op::kUpdate, keyNumber, static_cast<std::uint32_t>(data.size()));
  }

  std::int16_t Delete() { return Call(recman::op::kDelete, 0); }

  // A get with `keyValue` in the key buffer; the record read is in `record`, the key buffer's
  // first `keyValue.size()` bytes (or the key written back) in `key`.
  std::int16_t Get(std::int16_t operation, const std::string& keyValue = "", std::int8_t keyNumber = 0,
                   std::uint32_t dataLength = 1536) {
    keyBuffer.fill(0);
    std::memcpy(keyBuffer.data(), keyValue.data(), keyValue.size());
    std::string data(1536, ' ');
    std::uint32_t length = dataLength;
    const std::int16_t status = manager_.BTRCALL(operation, block.data(), data.data(), length,
                                                 keyBuffer.data(), static_cast<std::uint8_t>(keyValue.size()),
                                                 keyNumber);
    lastLength = length;
    if (status == 0 || status == 22) record = data.substr(0, length);
    return status;
  }

  // The key value written back by the last get, for a key of `length` bytes.
  std::string Key(std::size_t length) const { return std::string(keyBuffer.begin(), keyBuffer.begin() + length); }

  std::int16_t Stat(std::string& out) {
    std::string data(1536, '\0');
    std::uint32_t length = 1536;
    keyBuffer.fill(' ');
    const std::int16_t status = manager_.BTRCALL(recman::op::kStat, block.data(), data.data(), length,
                                                 keyBuffer.data(), 255, 0);
    out = data.substr(0, length);
    return status;
  }

  std::int16_t GetPosition(std::uint32_t& position) {
    std::uint8_t data[4] = {};
    std::uint32_t length = 4;
    keyBuffer.fill(0);
    const std::int16_t status =
        manager_.BTRCALL(recman::op::kGetPosition, block.data(), data, length, keyBuffer.data(), 0, 0);
    position = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
    return status;
  }

  std::int16_t GetDirect(std::uint32_t position, std::int8_t keyNumber = 0, std::int16_t bias = 0) {
    std::string data(1536, ' ');
    for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((position >> (8 * i)) & 0xff);
    std::uint32_t length = 1536;
    keyBuffer.fill(0);
    const std::int16_t status = manager_.BTRCALL(recman::op::kGetDirect + bias, block.data(), data.data(),
                                                 length, keyBuffer.data(), 0, keyNumber);
    if (status == 0) record = data.substr(0, length);
    return status;
  }

  std::int16_t Call(std::int16_t operation, std::int8_t keyNumber, std::uint32_t dataLength = 0) {
    std::string data = record;
    data.resize(std::max<std::size_t>(data.size(), 1536), ' ');
    std::uint32_t length = dataLength;
    keyBuffer.fill(0);
    return manager_.BTRCALL(operation, block.data(), data.data(), length, keyBuffer.data(), 255, keyNumber);
  }

  std::array<std::uint8_t, recman::kPositionBlockSize> block{};
  std::array<std::uint8_t, 256> keyBuffer{};
  std::string record;
  std::uint32_t lastLength = 0;

 private:
  recman::RecordManager& manager_;
};

}  // namespace duv::testing
