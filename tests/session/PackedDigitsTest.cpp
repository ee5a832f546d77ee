#include "session/PackedDigits.h"

#include <gtest/gtest.h>

namespace duv {
namespace {

TEST(PackedDigits, PackRightAlignsDigitsInTheInputWidth) {
  struct Case {
    std::string digits;
    std::string packed;
  };
  const Case cases[] = {
      {"20240315", "\x94\x98\x83\x8F"},
      {" 123", "\x81\x97"},        // 0123
      {"123", "\x8C\x9E"},          // 12, 30
      {"    ", "\x80\x80"},
      {"", ""},
      {"12  ", "\x80\x8C"},         // trailing blanks move the digits right: 0012
      {"1 2", "\x8A\x94"},          // an inner blank packs as 0: 102 -> 10, 20
      {"9x", "\xDA"},               // a non-digit packs as 0: 90
      {"99", "\xE3"},
  };
  for (const Case& c : cases) EXPECT_EQ(PackDigits(c.digits), c.packed) << "'" << c.digits << "'";
}

TEST(PackedDigits, PackedValuesOfEqualLengthCompareAsNumbers) {
  EXPECT_LT(PackDigits("0099"), PackDigits("0100"));
  EXPECT_LT(PackDigits("20231231"), PackDigits("20240101"));
  EXPECT_LT(PackDigits("  12"), PackDigits("  13"));
}

TEST(PackedDigits, Unpack) {
  EXPECT_EQ(UnpackDigits("\x94\x98\x83\x8F"), "20240315");
  EXPECT_EQ(UnpackDigits(PackDigits("12  ").substr(0)), "0012");
  EXPECT_EQ(UnpackDigits(PackDigits("  12")), "0012");
  EXPECT_EQ(UnpackDigits("\xF1"), "13");  // 113, never written by PackDigits, keeps its last two digits
  EXPECT_EQ(UnpackDigits(""), "");
}

TEST(PackedDigits, ZeroPad) {
  struct Case {
    std::int64_t value;
    int width;
    std::string expected;
  };
  const Case cases[] = {
      {5, 2, "05"}, {2024, 2, "24"}, {-7, 3, "007"}, {0, 4, "0000"},
      {2024, 0, ""}, {INT64_MIN, 3, "808"},
  };
  for (const Case& c : cases) EXPECT_EQ(ZeroPad(c.value, c.width), c.expected) << c.value;
}

TEST(PackedDigits, NumericValueReadsNumbersAsTheSuiteDoes) {
  struct Case {
    std::string text;
    std::int64_t value;
  };
  const Case cases[] = {
      {"2", 2}, {" 42 ", 42}, {"-3", -3}, {"+7x", 7}, {"1 5", 15},
      {"abc", 0}, {"", 0}, {"12.9", 12}, {"99999999999999999999999", 999999999999999999},
  };
  for (const Case& c : cases) EXPECT_EQ(NumericValue(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace duv
