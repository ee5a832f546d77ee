#include "platform/CodePage850.h"

#include <iconv.h>

#include <gtest/gtest.h>

namespace duv {
namespace {

// glibc's own converter is an independent reading of the code page: every byte must agree.
TEST(CodePage850, EveryByteAgreesWithTheSystemConverter) {
  iconv_t cd = iconv_open("UTF-8", "CP850");
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1)) << "glibc lacks CP850";
  for (int b = 0x20; b < 256; ++b) {
    if (b == 0x7F) continue;
    char in = static_cast<char>(b);
    char out[8] = {};
    char* inPtr = &in;
    char* outPtr = out;
    std::size_t inLeft = 1;
    std::size_t outLeft = sizeof out;
    ASSERT_NE(iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft), static_cast<std::size_t>(-1)) << b;
    EXPECT_EQ(Cp850ToUtf8(std::string(1, in)), std::string(out, outPtr)) << "byte " << b;
  }
  iconv_close(cd);
}

TEST(CodePage850, RoundTripsEveryByte) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp850(Cp850ToUtf8(all)), all);
}

TEST(CodePage850, ConvertsFromUtf8AndLatin1) {
  struct Case {
    std::string input;
    std::string expected;
  };
  const Case utf8Cases[] = {
      {"abc", "abc"},
      {"Pla\xC3\xA7" "a", "Pla\x87" "a"},        // ç
      {"\xE2\x94\x80", "\xC4"},                  // box drawing ─
      {"\xE2\x82\xAC", "?"},                     // € is not in the code page
      {"caf\xE9", "caf\x82"},                    // a stray Latin-1 é
      {"\xC3", "\xC7"},                          // a cut sequence: the byte as Latin-1 (Ã)
  };
  for (const Case& c : utf8Cases) EXPECT_EQ(Utf8ToCp850(c.input), c.expected) << c.input;
  EXPECT_EQ(Latin1ToCp850("Jos\xE9 \xD1"), "Jos\x82 \xA5");
}

}  // namespace
}  // namespace duv
