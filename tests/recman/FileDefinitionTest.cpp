#include "recman/FileDefinition.h"

#include <gtest/gtest.h>

#include "support/RecordFiles.h"

namespace duv::recman {
namespace {

using testing::Definition;
using testing::Segment;

TEST(FileDefinitionTest, EncodesTheCreateLayoutAndReadsItBackWithFillerAfterIt) {
  FileDefinition d = Definition(51, {{Segment(1, 2), Segment(3, 4)}, {Segment(9, 2, keyflag::kBinary | keyflag::kDuplicates)}});
  const std::string bytes = d.Encode(7);
  ASSERT_EQ(bytes.size(), 16u + 3 * 16u);
  EXPECT_EQ(static_cast<std::uint8_t>(bytes[0]), 51);
  EXPECT_EQ(static_cast<std::uint8_t>(bytes[2]), 0x00);  // page size 1024 = 0x0400
  EXPECT_EQ(static_cast<std::uint8_t>(bytes[3]), 0x04);
  EXPECT_EQ(static_cast<std::uint8_t>(bytes[4]), 2);     // keys
  EXPECT_EQ(static_cast<std::uint8_t>(bytes[6]), 7);     // record count
  EXPECT_EQ(static_cast<std::uint8_t>(bytes[16 + 4]), keyflag::kSegmented);
  EXPECT_EQ(static_cast<std::uint8_t>(bytes[32]), 3);    // second segment at byte 3
  EXPECT_EQ(static_cast<std::uint8_t>(bytes[48 + 4]), keyflag::kBinary | keyflag::kDuplicates);

  const auto parsed = ParseDefinition(bytes + std::string(500, ' '));
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->recordLength, 51);
  ASSERT_EQ(parsed->keys.size(), 2u);
  EXPECT_EQ(parsed->keys[0].Length(), 6u);
  EXPECT_TRUE(parsed->keys[1].AllowsDuplicates());
  EXPECT_EQ(parsed->Encode(), d.Encode());
}

TEST(FileDefinitionTest, TheCollatingSequenceFollowsTheSegments) {
  FileDefinition d = Definition(10, {{Segment(1, 4, keyflag::kCollating)}});
  d.hasCollatingSequence = true;
  for (int i = 0; i < 256; ++i) d.collatingTable[i] = static_cast<std::uint8_t>(255 - i);
  std::copy_n("REVERSE ", 8, d.collatingName.begin());
  const std::string bytes = d.Encode();
  ASSERT_EQ(bytes.size(), 32u + kCollatingBlockSize);
  EXPECT_EQ(static_cast<std::uint8_t>(bytes[32]), kCollatingMark);
  const auto parsed = ParseDefinition(bytes);
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->collatingTable[0], 255);
  EXPECT_EQ(parsed->Encode(), bytes);
  // Without its table the definition is refused.
  EXPECT_FALSE(ParseDefinition(bytes.substr(0, 32 + 100)).has_value());
}

TEST(FileDefinitionTest, RefusesDefinitionsItCannotKeep) {
  struct Case {
    const char* what;
    FileDefinition definition;
    std::size_t cut;  // bytes kept of the encoding; 0 keeps all
  };
  FileDefinition noKeys;
  noKeys.recordLength = 10;
  const Case cases[] = {
      {"record length 0", Definition(0, {{Segment(1, 2)}}), 0},
      {"no keys", noKeys, 0},
      {"segment past the record", Definition(10, {{Segment(9, 4)}}), 0},
      {"segment at position 0", Definition(10, {{Segment(0, 2)}}), 0},
      {"segment of length 0", Definition(10, {{Segment(1, 0)}}), 0},
      {"null key", Definition(10, {{Segment(1, 2, keyflag::kNull)}}), 0},
      {"manual key", Definition(10, {{Segment(1, 2, keyflag::kManual)}}), 0},
      {"float type", Definition(10, {{Segment(1, 4, keyflag::kExtendedType, 2)}}), 0},
      {"integer of 3 bytes", Definition(10, {{Segment(1, 3, keyflag::kExtendedType, keytype::kInteger)}}), 0},
      {"cut in a segment", Definition(10, {{Segment(1, 2), Segment(3, 2)}}), 40},
      {"cut in the file specification", Definition(10, {{Segment(1, 2)}}), 10},
  };
  for (const Case& c : cases) {
    std::string bytes = c.definition.Encode();
    if (c.cut != 0) bytes.resize(c.cut);
    EXPECT_FALSE(ParseDefinition(bytes).has_value()) << c.what;
  }
  FileDefinition tooLong = Definition(400, {{Segment(1, 200), Segment(201, 56)}});
  EXPECT_FALSE(ParseDefinition(tooLong.Encode()).has_value()) << "key of 256 bytes";
}

TEST(FileDefinitionTest, KeyValuesComeFromTheSegmentsInOrder) {
  const FileDefinition d = Definition(8, {{Segment(5, 2), Segment(1, 1)}});
  EXPECT_EQ(KeyValueOf(d.keys[0], "ABCDEFGH"), "EFA");
}

// The images must sort, as plain bytes, the way the key type orders its values.
TEST(FileDefinitionTest, ImagesSortAsTheirKeyTypes) {
  struct Case {
    const char* what;
    SegmentSpec segment;
    std::string lower, higher;  // key values, lower first in key order
  };
  const Case cases[] = {
      {"string", Segment(1, 2), "AB", "AC"},
      {"string by bytes", Segment(1, 2), "ZZ", "\x81\x01"},
      {"unsigned binary", Segment(1, 2, keyflag::kBinary), std::string("\xff\x00", 2), std::string("\x00\x01", 2)},
      {"unsigned extended", Segment(1, 2, keyflag::kExtendedType, keytype::kUnsignedBinary),
       std::string("\xff\x00", 2), std::string("\x00\x01", 2)},
      {"signed integer", Segment(1, 2, keyflag::kExtendedType, keytype::kInteger), "\xff\xff",
       std::string("\x00\x00", 2)},
      {"signed integer, both negative", Segment(1, 2, keyflag::kExtendedType, keytype::kInteger),
       std::string("\x00\x80", 2), "\xff\xff"},
      {"descending string", Segment(1, 2, keyflag::kDescending), "AC", "AB"},
      {"descending binary", Segment(1, 2, keyflag::kBinary | keyflag::kDescending), std::string("\x00\x01", 2),
       std::string("\xff\x00", 2)},
      {"case-insensitive", Segment(1, 2, keyflag::kCaseInsensitive), "ab", "AC"},
  };
  for (const Case& c : cases) {
    const FileDefinition d = Definition(4, {{c.segment}});
    const std::string low = KeyImage(d, d.keys[0], c.lower);
    const std::string high = KeyImage(d, d.keys[0], c.higher);
    EXPECT_LT(low, high) << c.what;
    EXPECT_EQ(low.size(), 2u) << c.what;
  }
}

TEST(FileDefinitionTest, CollatingSegmentsSortThroughTheirTable) {
  FileDefinition d = Definition(4, {{Segment(1, 2, keyflag::kCollating)}});
  d.hasCollatingSequence = true;
  for (int i = 0; i < 256; ++i) d.collatingTable[i] = static_cast<std::uint8_t>(i);
  d.collatingTable['a'] = 'A';  // lower-case a sorts with A, before B
  EXPECT_LT(KeyImage(d, d.keys[0], "aZ"), KeyImage(d, d.keys[0], "BA"));
  EXPECT_EQ(KeyImage(d, d.keys[0], "aZ"), KeyImage(d, d.keys[0], "AZ"));
}

}  // namespace
}  // namespace duv::recman
