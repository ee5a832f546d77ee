#include "report/Pictures.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace duv {
namespace {

// Results are written with "b" for a blank, as in the register's worked examples.
std::string Blanks(std::string text) {
  for (char& c : text) {
    if (c == 'b') c = ' ';
  }
  return text;
}

TEST(FormatPicture, WorkedExamples) {
  struct Case {
    std::string picture;
    double value;
    std::string expected;
  };
  const Case cases[] = {
      {"ZZZ9", 1, "bbb1"},
      {"Z9.99", 16, "16'00"},
      {"Z9.99", 7.5, "b7'50"},
      {"Z9.99", 0, "b0'00"},
      {"ZZZ", 0, "bbb"},
      {"ZZZ,ZZ9", 1234, "bb1.234"},
      {"ZZZ,ZZ9", 12, "bbbbb12"},
      {"999,999", 12, "000.012"},
      {"***,**9", 12, "*****12"},
      {"9", 2.5, "2"},
      {"9", 3.5, "4"},
      {"ZZ9", -5, "b-5"},
      {"ZZ9-", -5, "bb5-"},
      {"ZZ9-", 5, "bb5b"},
      {"+ZZ9", 5, "+bb5"},
      {"ZZ9", 12345, "!!!"},
      {"Z9.99", 123.456, "123'4"},
      {"99", -12, "!!"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatPictureWith(c.picture, c.value, '\'', '.'), Blanks(c.expected)) << c.picture << " " << c.value;
  }
}

TEST(FormatPicture, FurtherCases) {
  struct Case {
    std::string picture;
    double value;
    std::string expected;
  };
  const Case cases[] = {
      {"9.ZZ", 0.5, "0'5b"},           // trailing zero decimals under Z are blanked
      {"ZZ9.99-", -5, "bb5'00-"},
      {"ZZ9.99+", 5, "bb5'00+"},
      {"Z9.99", -7.5, "-7'50"},
      {"ZZZ,ZZ9", -1234, "b-1.234"},
      {"ZZZ,ZZ9", -12, "bbbb-12"},
      {"99.9", 0.25, "00'2"},           // half to even
      {"9.99", 0.125, "0'12"},
      {"9.99", 0.375, "0'38"},
      {"99.9", 0.75, "00'8"},
      {"ZZ%", 7, "b7%"},               // other characters are copied
      {"", 5, ""},
      {"ZZ9", 1e300, "!!!"},
      {"ZZ9", std::numeric_limits<double>::quiet_NaN(), "!!!"},
      {"ZZ9", -std::numeric_limits<double>::infinity(), "!!!"},
      {"9", -0.2, "0"},                // rounds to nothing: no sign
      {"ZZ9", 999.5, "!!!"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatPictureWith(c.picture, c.value, '\'', '.'), Blanks(c.expected)) << c.picture << " " << c.value;
  }
}

TEST(FormatPicture, ResultAlwaysHasThePictureWidth) {
  const char* pictures[] = {"ZZZ,ZZZ,ZZ9", ",ZZZ,ZZ9.99", "ZZ9.99-", "+ZZ9", "***,**9", "9", "Z9.99", "99"};
  const double values[] = {0, 1, -1, 0.004, 0.005, 99.995, -123456789.5, 1e15, -1e15, 123.456};
  for (const char* picture : pictures) {
    for (double value : values) {
      EXPECT_EQ(FormatPictureWith(picture, value, '\'', '.').size(), std::string(picture).size()) << picture << " " << value;
    }
  }
}

class AmountTest : public ::testing::Test {
 protected:
  AmountTest() { session_.MutableSettings().rootDir = dir_.Prefix(); }
  testing::TempDir dir_;
  FixedEnvironment env_;
  Session session_{env_};
  Pictures pictures_{session_};
};

TEST_F(AmountTest, WorkedExamples) {
  session_.SelectCurrency("a,E");
  struct Case {
    double hundredths;
    std::string expected;
  };
  const Case cases[] = {
      {123456, "bbb1.234'56"}, {0, "bbbbbbb0'00"}, {-500, "bbbbbb-5'00"},
      {-40, "bbbbbbb-'40"},    {5, "bbbbbbb0'05"}, {-123456, "bb-1.234'56"},
      {99999999, "b999.999'99"}, {100000000, "b1000000'00"},   // too wide: separators go
      {2147483647, "21474836'47"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(pictures_.FormatAmount("ZZZ,ZZZ,ZZ9", c.hundredths), Blanks(c.expected)) << c.hundredths;
  }
}

TEST_F(AmountTest, BuildsThePictureItFormatsWith) {
  EXPECT_EQ(BuildAmountPicture("ZZZ,ZZZ,ZZ9", 1, "E").picture, ",ZZZ,ZZ9.99");
  EXPECT_EQ(BuildAmountPicture("ZZZ,ZZZ,ZZ9", 1, "P").picture, "ZZZ,ZZZ,ZZ9");
  EXPECT_EQ(BuildAmountPicture("ZZZZZZ", 0, "E").picture, "ZZZ.ZZ");      // no digit flag: Z decimals
  EXPECT_EQ(BuildAmountPicture("***,**9", 1, "E").picture, ",**9.99");
  EXPECT_EQ(BuildAmountPicture("ZZZZZZ9-", 1, "E").picture, "ZZZ9.99-");
  EXPECT_EQ(BuildAmountPicture("-ZZZZZZ9", 1, "E").picture, "-ZZZ9.99");
  EXPECT_EQ(BuildAmountPicture("ZZZZ.9", 1, "E").picture, "Z9.999");
}

TEST_F(AmountTest, PrintCurrencyConvertsToWholeUnits) {
  session_.SelectCurrency("a,E");
  session_.SelectCurrency("p,P");
  session_.SelectCurrency("p");
  EXPECT_EQ(pictures_.FormatAmount("ZZZ,ZZZ,ZZ9", 100), Blanks("bbbbbbbb166"));
  EXPECT_EQ(pictures_.FormatAmount("ZZZ,ZZZ,ZZ9", 123456), Blanks("bbbb205.414"));
  session_.SelectCurrency("");
  EXPECT_EQ(pictures_.FormatAmount("ZZZ,ZZZ,ZZ9", 100), Blanks("bbbbbbb1'00"));
}

TEST_F(AmountTest, SeparatorsComeFromTheUserSettingsOnce) {
  dir_.Write("Zuli.ini", "[Usuari]\r\nDecCaracter=,\r\nMilCaracter=.\r\n");
  session_.SelectCurrency("a,E");
  EXPECT_EQ(pictures_.FormatAmount("ZZZ,ZZZ,ZZ9", 123456), Blanks("bbb1.234,56"));
  dir_.Write("Zuli.ini", "[Usuari]\r\nDecCaracter=#\r\n");
  EXPECT_EQ(pictures_.FormatPicture("Z9.99", 7.5), Blanks("b7,50"));
}

}  // namespace
}  // namespace duv
