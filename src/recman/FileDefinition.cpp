#include "recman/FileDefinition.h"

#include <algorithm>

namespace duv::recman {

namespace {

std::uint16_t Read16(std::string_view bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[offset]) |
                                    (static_cast<std::uint8_t>(bytes[offset + 1]) << 8));
}

void Put16(std::string& bytes, std::size_t offset, std::uint16_t value) {
  bytes[offset] = static_cast<char>(value & 0xff);
  bytes[offset + 1] = static_cast<char>(value >> 8);
}

void Put32(std::string& bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xff);
}

constexpr std::uint16_t kSupportedFlags = keyflag::kDuplicates | keyflag::kModifiable |
                                          keyflag::kBinary | keyflag::kSegmented |
                                          keyflag::kCollating | keyflag::kDescending |
                                          keyflag::kExtendedType | keyflag::kCaseInsensitive;

bool SupportedSegment(const SegmentSpec& segment, std::uint16_t recordLength) {
  if ((segment.flags & ~kSupportedFlags) != 0) return false;
  if (segment.length == 0 || segment.position == 0) return false;
  if (segment.position - 1 + segment.length > recordLength) return false;
  switch (segment.SortType()) {
    case keytype::kString:
    case keytype::kZString:
    case keytype::kUnsignedBinary:
      return true;
    case keytype::kInteger:
      return segment.length == 1 || segment.length == 2 || segment.length == 4 ||
             segment.length == 8;
    default:
      return false;
  }
}

}  // namespace

std::uint8_t SegmentSpec::SortType() const {
  if (flags & keyflag::kExtendedType) return extendedType;
  return (flags & keyflag::kBinary) ? keytype::kUnsignedBinary : keytype::kString;
}

std::size_t KeySpec::Length() const {
  std::size_t total = 0;
  for (const SegmentSpec& s : segments) total += s.length;
  return total;
}

std::optional<FileDefinition> ParseDefinition(std::string_view buffer) {
  if (buffer.size() < kSpecificationSize) return std::nullopt;
  FileDefinition definition;
  definition.recordLength = Read16(buffer, 0);
  definition.pageSize = Read16(buffer, 2);
  const std::uint16_t keyCount = Read16(buffer, 4);
  definition.fileFlags = Read16(buffer, 10);
  if (definition.recordLength == 0 || definition.recordLength > kMaxRecordLength) return std::nullopt;
  if (keyCount == 0 || keyCount > kMaxKeys) return std::nullopt;

  std::size_t offset = kSpecificationSize;
  bool usesCollating = false;
  for (std::uint16_t k = 0; k < keyCount; ++k) {
    KeySpec key;
    bool more = true;
    while (more) {
      if (offset + kSpecificationSize > buffer.size()) return std::nullopt;
      SegmentSpec segment;
      segment.position = Read16(buffer, offset);
      segment.length = Read16(buffer, offset + 2);
      segment.flags = Read16(buffer, offset + 4);
      segment.extendedType = static_cast<std::uint8_t>(buffer[offset + 10]);
      segment.nullValue = static_cast<std::uint8_t>(buffer[offset + 11]);
      if (!SupportedSegment(segment, definition.recordLength)) return std::nullopt;
      usesCollating = usesCollating || (segment.flags & keyflag::kCollating);
      more = (segment.flags & keyflag::kSegmented) != 0;
      key.segments.push_back(segment);
      offset += kSpecificationSize;
    }
    if (key.Length() > kMaxKeyLength) return std::nullopt;
    definition.keys.push_back(std::move(key));
  }

  if (usesCollating) {
    if (offset + kCollatingBlockSize > buffer.size()) return std::nullopt;
    if (static_cast<std::uint8_t>(buffer[offset]) != kCollatingMark) return std::nullopt;
    definition.hasCollatingSequence = true;
    std::copy_n(buffer.begin() + offset + 1, 8, definition.collatingName.begin());
    std::copy_n(buffer.begin() + offset + 9, 256, definition.collatingTable.begin());
  }
  return definition;
}

std::string FileDefinition::Encode(std::uint32_t recordCount) const {
  std::size_t segmentCount = 0;
  for (const KeySpec& key : keys) segmentCount += key.segments.size();
  std::string bytes(kSpecificationSize * (1 + segmentCount), '\0');
  Put16(bytes, 0, recordLength);
  Put16(bytes, 2, pageSize);
  Put16(bytes, 4, static_cast<std::uint16_t>(keys.size()));
  Put32(bytes, 6, recordCount);
  Put16(bytes, 10, fileFlags);
  std::size_t offset = kSpecificationSize;
  for (const KeySpec& key : keys) {
    for (const SegmentSpec& segment : key.segments) {
      Put16(bytes, offset, segment.position);
      Put16(bytes, offset + 2, segment.length);
      Put16(bytes, offset + 4, segment.flags);
      bytes[offset + 10] = static_cast<char>(segment.extendedType);
      bytes[offset + 11] = static_cast<char>(segment.nullValue);
      offset += kSpecificationSize;
    }
  }
  if (hasCollatingSequence) {
    bytes.push_back(static_cast<char>(kCollatingMark));
    bytes.append(collatingName.begin(), collatingName.end());
    bytes.append(collatingTable.begin(), collatingTable.end());
  }
  return bytes;
}

std::string KeyValueOf(const KeySpec& key, std::string_view record) {
  std::string value;
  value.reserve(key.Length());
  for (const SegmentSpec& segment : key.segments) {
    const std::size_t start = segment.position - 1u;
    for (std::size_t i = 0; i < segment.length; ++i) {
      value.push_back(start + i < record.size() ? record[start + i] : '\0');
    }
  }
  return value;
}

std::string KeyImage(const FileDefinition& definition, const KeySpec& key, std::string_view keyValue) {
  std::string image;
  image.reserve(key.Length());
  std::size_t p = 0;
  for (const SegmentSpec& segment : key.segments) {
    std::string part(segment.length, '\0');
    for (std::size_t i = 0; i < segment.length && p + i < keyValue.size(); ++i) part[i] = keyValue[p + i];
    p += segment.length;

    switch (segment.SortType()) {
      case keytype::kUnsignedBinary:
        std::reverse(part.begin(), part.end());
        break;
      case keytype::kInteger:
        std::reverse(part.begin(), part.end());
        part[0] = static_cast<char>(static_cast<std::uint8_t>(part[0]) ^ 0x80);
        break;
      default:
        if ((segment.flags & keyflag::kCollating) && definition.hasCollatingSequence) {
          for (char& c : part) c = static_cast<char>(definition.collatingTable[static_cast<std::uint8_t>(c)]);
        } else if (segment.flags & keyflag::kCaseInsensitive) {
          for (char& c : part) {
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
          }
        }
        break;
    }
    if (segment.flags & keyflag::kDescending) {
      for (char& c : part) c = static_cast<char>(~static_cast<std::uint8_t>(c));
    }
    image += part;
  }
  return image;
}

}  // namespace duv::recman
