#pragma once
// A data file's definition as the Create operation receives it and Stat gives it back: a file
// specification, one specification per key segment (all segments of key 0 first), and an
// optional alternate collating sequence. Also the key images: byte strings whose plain byte
// order is the key order, so that the database can sort them without knowing the key types.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace duv::recman {

namespace keyflag {
inline constexpr std::uint16_t kDuplicates = 0x01;
inline constexpr std::uint16_t kModifiable = 0x02;
inline constexpr std::uint16_t kBinary = 0x04;
inline constexpr std::uint16_t kNull = 0x08;
inline constexpr std::uint16_t kSegmented = 0x10;  // another segment of the same key follows
inline constexpr std::uint16_t kCollating = 0x20;
inline constexpr std::uint16_t kDescending = 0x40;
inline constexpr std::uint16_t kExtendedType = 0x100;
inline constexpr std::uint16_t kManual = 0x200;
inline constexpr std::uint16_t kCaseInsensitive = 0x400;
}  // namespace keyflag

// Extended key types this record manager sorts.
namespace keytype {
inline constexpr std::uint8_t kString = 0;
inline constexpr std::uint8_t kInteger = 1;  // signed, little-endian, 1, 2, 4 or 8 bytes
inline constexpr std::uint8_t kZString = 11;
inline constexpr std::uint8_t kUnsignedBinary = 14;
}  // namespace keytype

inline constexpr std::size_t kSpecificationSize = 16;
inline constexpr std::size_t kCollatingBlockSize = 265;  // 0xAC, 8 name bytes, 256-byte table
inline constexpr std::uint8_t kCollatingMark = 0xAC;
inline constexpr std::size_t kMaxKeyLength = 255;
inline constexpr std::size_t kMaxKeys = 24;
inline constexpr std::size_t kMaxRecordLength = 16384;

struct SegmentSpec {
  std::uint16_t position = 1;  // from 1
  std::uint16_t length = 0;
  std::uint16_t flags = 0;
  std::uint8_t extendedType = 0;
  std::uint8_t nullValue = 0;

  // The type the segment sorts as: the extended type, else binary or string by the flags.
  std::uint8_t SortType() const;
};

struct KeySpec {
  std::vector<SegmentSpec> segments;

  std::uint16_t Flags() const { return segments.front().flags; }
  bool AllowsDuplicates() const { return (Flags() & keyflag::kDuplicates) != 0; }
  bool Modifiable() const { return (Flags() & keyflag::kModifiable) != 0; }
  std::size_t Length() const;
};

struct FileDefinition {
  std::uint16_t recordLength = 0;
  std::uint16_t pageSize = 0;
  std::uint16_t fileFlags = 0;
  std::vector<KeySpec> keys;
  bool hasCollatingSequence = false;
  std::array<std::uint8_t, 8> collatingName{};
  std::array<std::uint8_t, 256> collatingTable{};

  // The Create layout of this definition; Stat gives the same with the record count filled in.
  std::string Encode(std::uint32_t recordCount = 0) const;
};

// Reads a definition from a Create data buffer, which may carry filler after it. Nothing when
// the buffer is cut short or the definition is not one this record manager can keep: a record
// length of 0 or above kMaxRecordLength, no keys or more than kMaxKeys, a segment outside the
// record, a key longer than kMaxKeyLength, a collating segment without its table, or a flag or
// key type it does not implement (null keys, manual keys, types other than those above).
std::optional<FileDefinition> ParseDefinition(std::string_view buffer);

// The key value as the record holds it: the key's segments taken from the record, in order.
std::string KeyValueOf(const KeySpec& key, std::string_view record);

// The sort image of a key value (segments concatenated in record byte order, as a key buffer
// carries it): collating segments translated, case-insensitive ones upper-cased, binary ones
// turned big-endian, signed integers with the sign bit flipped, descending ones inverted.
std::string KeyImage(const FileDefinition& definition, const KeySpec& key, std::string_view keyValue);

}  // namespace duv::recman
