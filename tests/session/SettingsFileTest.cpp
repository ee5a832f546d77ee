#include "session/SettingsFile.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace duv {
namespace {

const char* const kFile =
    "; terminal settings\r\n"
    "[Menu]\r\n"
    "Titol = Menu A ; note\r\n"
    "NomMenu=\"Quoted ; cut\"\r\n"
    "Empty=\"\"\r\n"
    "OneQuote=\"\r\n"
    "Quoted=\"  padded  \"\r\n"
    "  Indented = yes\r\n"
    "NoEqualsLine\r\n"
    "Tabbed\t=tab key\r\n"
    "Dup=first\r\n"
    "Dup=second\r\n"
    "\r\n"
    "[ Sistema ]\r\n"
    "Data=20240315\r\n"
    "Blank=   \r\n"
    "[Sistema]\r\n"
    "Later=never found\r\n"
    "[SISTEMA2\r\n"
    "Open=no bracket\r\n";

TEST(SettingsFile, FollowsTheGrammar) {
  struct Case {
    std::string section;
    std::string key;
    std::string value;
  };
  const Case cases[] = {
      {"Menu", "Titol", " Menu A "},          // blanks around the value stay
      {"MENU", "titol", " Menu A "},          // names compare without case
      {"Menu", "NomMenu", "\"Quoted "},        // cut at ";", the lone quote stays
      {"Menu", "Empty", ""},
      {"Menu", "OneQuote", "\""},
      {"Menu", "Quoted", "  padded  "},
      {"Menu", "Indented", " yes"},
      {"Menu", "Tabbed", ""},                  // a tab is not trimmed: the key is "Tabbed\t"
      {"Menu", "Tabbed\t", "tab key"},
      {"Menu", "Dup", "first"},
      {"Menu", "NoEqualsLine", ""},
      {" Sistema ", " Data ", "20240315"},     // wanted names are trimmed too
      {"Sistema", "Blank", "   "},
      {"Sistema", "Later", ""},                // only the first section of the name is searched
      {"Sistema", "Titol", ""},
      {"Sistema2", "Open", "no bracket"},      // a section without its closing bracket
      {"Missing", "Data", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindSetting(kFile, c.section, c.key), c.value) << c.section << "/" << c.key;
  }
}

TEST(SettingsFile, LinesEndedByLineFeedAloneAreRead) {
  EXPECT_EQ(FindSetting("[A]\nK=v\n", "A", "K"), "v");
}

TEST(SettingsFile, ReadsThroughTheHostPath) {
  testing::TempDir dir;
  dir.Write("work/sessio.ini", kFile);
  EXPECT_EQ(ReadSetting(dir.Prefix() + "WORK\\Sessio.ini", "Menu", "Titol"), " Menu A ");
  EXPECT_EQ(ReadSetting(dir.Prefix() + "WORK\\Missing.ini", "Menu", "Titol"), "");
  EXPECT_EQ(ReadSetting(dir.Prefix() + "WORK", "Menu", "Titol"), "");  // a folder
}

TEST(SettingsFile, SurvivesBinaryAndHugeLines) {
  std::string binary = "[Usuari]\r\n";
  for (int b = 0; b < 256; ++b) binary += static_cast<char>(b);
  binary += "\r\nIdioma=SPA\r\n";
  EXPECT_EQ(FindSetting(binary, "Usuari", "Idioma"), "SPA");

  const std::string huge = "[A]\r\nK=" + std::string(1 << 20, 'x') + "\r\nL=short";
  EXPECT_EQ(FindSetting(huge, "A", "K").size(), std::size_t{1} << 20);
  EXPECT_EQ(FindSetting(huge, "A", "L"), "short");
  EXPECT_EQ(FindSetting("[A]\r\nK=no line end", "A", "K"), "no line end");
  EXPECT_EQ(FindSetting("[", "", "K"), "");
}

}  // namespace
}  // namespace duv
