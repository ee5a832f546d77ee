#include "session/TextHelpers.h"

#include <gtest/gtest.h>

namespace duv {
namespace {

TEST(IsAllChar, Cases) {
  EXPECT_EQ(IsAllChar("", 32), -1);
  EXPECT_EQ(IsAllChar("", 65), -1);
  EXPECT_EQ(IsAllChar("   ", 32), -1);
  EXPECT_EQ(IsAllChar(" a ", 32), 0);
  EXPECT_EQ(IsAllChar("\xC4\xC4", 0xC4), -1);
  EXPECT_EQ(IsAllChar("a", 0x161), 0);
}

TEST(FoldText, BothTables) {
  TextFolder folder;
  struct Case {
    std::string text;
    std::string upper;
    std::string search;
  };
  const Case cases[] = {
      {"mar\x87", "MAR\x80", "MARC"},                 // març
      {"\x98", "\x98", "Y"},                           // ÿ has no capital in the code page
      {"1/2", "1/2", "1/2"},
      {"\xA4\x91\xE1", "\xA5\x92\xE1", "NAS"},         // ñ æ ß
      {"[x]{}", "[X]{}", " X   "},                     // punctuation from 64 up becomes blank
      {"\xEE\xFF", "\xEE\xFF", "\xEE\xFF"},            // 238 and up never change
      {"\xD5\xB0", "\xD5\xB0", "E "},
  };
  for (const Case& c : cases) {
    folder.foldForSearch = false;
    EXPECT_EQ(folder.FoldText(c.text), c.upper) << c.text;
    folder.foldForSearch = true;
    EXPECT_EQ(folder.FoldText(c.text), c.search) << c.text;
  }
}

TEST(FoldText, EveryAccentedLetterOfTheSearchTableFoldsToItsCapitalWhenUpperCased) {
  // In upper-case mode a folded letter stays a letter: folding it again for a search must give
  // the same plain capital as folding the original.
  TextFolder upper;
  TextFolder search;
  search.foldForSearch = true;
  for (int b = 64; b < 238; ++b) {
    const std::string one(1, static_cast<char>(b));
    EXPECT_EQ(search.FoldText(upper.FoldText(one)), search.FoldText(one)) << b;
  }
}

TEST(IsInvalidNumberText, Cases) {
  struct Case {
    std::string text;
    std::string picture;
    std::int16_t invalid;
  };
  const Case cases[] = {
      {" -12.5", "ZZ9.99-", 0},  {"12.5-", "ZZ9.99-", -1}, {"1.2.3", "ZZ9.99-", -1},
      {"x-", "ZZ9.99-", -1},     {"--1", "ZZ9.99-", -1},   {"1.5", "ZZ9", -1},
      {"-1", "ZZ9", -1},         {"  7", "ZZ9", 0},        {"", "ZZ9", 0},
      {".5-", "+ZZ9.99", -1},    {"+ 1 2", "+ZZ9", 0},     {"1 2 3", "ZZ9", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(IsInvalidNumberText(c.text, c.picture), c.invalid) << c.text << " " << c.picture;
}

std::string Wrapped(std::string text, std::int16_t indent, std::int16_t width, const std::string& mode) {
  WrapText(text, indent, width, mode);
  return text;
}

TEST(WrapText, Alignments) {
  struct Case {
    std::string text;
    std::int16_t indent;
    std::int16_t width;
    std::string mode;
    std::string expected;
  };
  const std::string s = "Aquest text es massa llarg";
  const Case cases[] = {
      {s, 0, 10, "L", "Aquest    text es   massa     llarg     "},
      {s, 0, 10, "e", "Aquest    text es   massa     llarg     "},
      {s, 0, 10, "R", "    Aquest   text es     massa     llarg"},
      {s, 0, 10, "C", "  Aquest   text es    massa     llarg   "},
      {s, 0, 10, "N", "Aquest----text es---massa-----llarg-----"},
      {"abcdefghijkl", 0, 5, "L", "abcdefghijkl   "},
      {"uno dos tres cuatro", 0, 16, "A", "uno   dos   trescuatro          "},
      {"uno dos tres cuatro", 0, 16, "x", "uno dos tres    cuatro          "},
      {"aa bb cc dd", 2, 7, "L", "  aa bbcc dd  "},
      {"aa bb cc dd", -2, 7, "L", "aa bb    cc dd"},
      {"palabra", 0, 3, "L", "palabra  "},
      {"", 0, 10, "L", ""},
      {"   ", 0, 10, "L", "          "},
      {"ab  cdef", 0, 5, "R", "  ab  cdef"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Wrapped(c.text, c.indent, c.width, c.mode), c.expected)
        << "'" << c.text << "' indent " << c.indent << " width " << c.width << " mode " << c.mode;
  }
}

TEST(WrapText, ControlCharactersTakeNoRoom) {
  // Each line keeps ten visible characters; a line holding a control byte is one byte longer.
  EXPECT_EQ(Wrapped("Aquest \x01text\x02 es massa", 0, 10, "L"), "Aquest    \x01text\x02 es   massa     ");
  EXPECT_EQ(Wrapped("abc\x01" "defgh ij", 0, 5, "L"), "abc  \x01" "defghij   ");
}

TEST(WrapText, EveryLineButTheLastHasTheFullWidth) {
  const std::string text = "El propietari ha de revisar les factures abans de tancar el trimestre, "
                           "i una paraula extraordinariamentllarga no trenca res";
  for (const char* mode : {"L", "R", "C", "N", "A", "B", "?"}) {
    for (std::int16_t width : {7, 12, 20, 33}) {
      const std::string out = Wrapped(text, 0, width, mode);
      EXPECT_EQ(out.size() % static_cast<std::size_t>(width), 0u) << mode << " " << width;
      // No visible character is lost or added.
      std::string visible;
      for (char c : text) {
        if (c != ' ') visible += c;
      }
      std::string shown;
      for (char c : out) {
        if (c != ' ' && !(std::string(mode) == "N" && c == '-')) shown += c;
      }
      EXPECT_EQ(shown, visible) << mode << " " << width;
    }
  }
}

TEST(WrapText, WidthNotAboveTheIndentStillEnds) {
  EXPECT_EQ(Wrapped("abc", 5, 3, "L").substr(0, 5), "     ");
}

}  // namespace
}  // namespace duv
