#include "platform/HostPath.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace duv {
namespace {

class HostPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("forms/murdelax.jpn", "form");
    dir_.Write("DADES/PAGAMV.DAT", "data");
    dir_.Write("Locale/Murdelax.lng", "lang");
    dir_.Write("caf\xC3\xA9/Men\xC3\xBA.ini", "accents");  // café/Menú.ini on the host
  }
  testing::TempDir dir_;
};

TEST_F(HostPathTest, MatchesEveryComponentWithoutRegardToCase) {
  struct Case {
    std::string systemPath;
    std::string hostRelative;
  };
  const Case cases[] = {
      {"FORMS\\MURDELAX.JPN", "forms/murdelax.jpn"},
      {"dades\\PagamV.dat", "DADES/PAGAMV.DAT"},
      {"LOCALE\\MURDELAX.LNG", "Locale/Murdelax.lng"},
      {"CAF\x90\\MEN\xE9.INI", "caf\xC3\xA9/Men\xC3\xBA.ini"},     // CAFÉ\MENÚ.INI in code page 850
      {"forms/murdelax.jpn", "forms/murdelax.jpn"},                 // forward slashes too
      {"FORMS\\\\MURDELAX.JPN", "forms/murdelax.jpn"},              // a doubled separator
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ResolveHostPath(dir_.Prefix() + c.systemPath), dir_.Prefix() + c.hostRelative) << c.systemPath;
  }
}

TEST_F(HostPathTest, KeepsTheGivenSpellingFromTheFirstMissingComponent) {
  EXPECT_EQ(ResolveHostPath(dir_.Prefix() + "FORMS\\NOU.JPN"), dir_.Prefix() + "forms/NOU.JPN");
  EXPECT_EQ(ResolveHostPath(dir_.Prefix() + "NOVA\\Forms\\X"), dir_.Prefix() + "NOVA/Forms/X");
  EXPECT_EQ(ResolveHostPath(dir_.Prefix() + "DADES\\"), dir_.Prefix() + "DADES/");
}

TEST_F(HostPathTest, PrefersTheExactNameAndThenTheFirstInByteOrder) {
  dir_.Write("Twice/a", "");
  dir_.Write("TWICE/b", "");
  dir_.Write("twice/c", "");
  EXPECT_EQ(ResolveHostPath(dir_.Prefix() + "twice\\c"), dir_.Prefix() + "twice/c");
  EXPECT_EQ(ResolveHostPath(dir_.Prefix() + "tWiCe\\B"), dir_.Prefix() + "TWICE/b");
}

TEST_F(HostPathTest, RelativePathsResolveFromTheCurrentDirectory) {
  char previous[4096];
  ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(::chdir(dir_.Path().c_str()), 0);
  EXPECT_EQ(ResolveHostPath("FORMS\\MURDELAX.JPN"), "forms/murdelax.jpn");
  EXPECT_EQ(ResolveHostPath("duvprint.tmp"), "duvprint.tmp");
  ASSERT_EQ(::chdir(previous), 0);
}

}  // namespace
}  // namespace duv
