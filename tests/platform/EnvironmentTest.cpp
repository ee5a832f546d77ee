#include "platform/Environment.h"

#include <cstdlib>

#include <gtest/gtest.h>

namespace duv {
namespace {

TEST(Environment, DetectsTheLocaleCodeset) {
  EXPECT_EQ(DetectLocaleCodeset(nullptr, nullptr, "ca_ES.UTF-8"), LocaleCodeset::kUtf8);
  EXPECT_EQ(DetectLocaleCodeset(nullptr, nullptr, "ca_ES.ISO-8859-1"), LocaleCodeset::kLatin1);
  EXPECT_EQ(DetectLocaleCodeset("es_ES.utf8", nullptr, "ca_ES.ISO-8859-1"), LocaleCodeset::kUtf8);
  EXPECT_EQ(DetectLocaleCodeset("", "es_ES.ISO8859-15", nullptr), LocaleCodeset::kLatin1);
  EXPECT_EQ(DetectLocaleCodeset(nullptr, nullptr, nullptr), LocaleCodeset::kUtf8);
}

TEST(Environment, ProcessValuesArriveInCodePage850) {
  ::setenv("LANG", "ca_ES.UTF-8", 1);
  ::unsetenv("LC_ALL");
  ::unsetenv("LC_CTYPE");
  ::setenv("DUVROOT", "/home/jos\xC3\xA9/duv/", 1);
  ProcessEnvironment env;
  EXPECT_EQ(env.Get("DUVROOT"), "/home/jos\x82/duv/");
  ::unsetenv("DUVROOT");
  EXPECT_EQ(env.Get("DUVROOT"), "");
}

TEST(Environment, TheSuitesTermComesFromDuvterm) {
  ::setenv("TERM", "xterm-256color", 1);
  ::setenv("DUVTERM", "/srv/duv/term01", 1);
  ProcessEnvironment env;
  EXPECT_EQ(env.Get("TERM"), "/srv/duv/term01");
  ::unsetenv("DUVTERM");
  EXPECT_EQ(env.Get("TERM"), "");
}

}  // namespace
}  // namespace duv
