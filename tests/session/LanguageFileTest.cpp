#include "session/LanguageFile.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace duv {
namespace {

std::vector<std::string> AllFields(std::string_view content) {
  LanguageFieldReader reader(content);
  std::vector<std::string> fields;
  while (auto field = reader.NextField()) fields.push_back(*field);
  return fields;
}

TEST(LanguageFieldReader, FieldSyntax) {
  using Fields = std::vector<std::string>;
  struct Case {
    std::string content;
    Fields fields;
  };
  const Case cases[] = {
      {"DATA, DATA, DATA, FECHA\r\n", {"DATA", "DATA", "DATA", "FECHA"}},
      {"  a  ,b\tc,d\ne\r\n", {"a  ", "bc", "de"}},                      // blanks before skipped, after kept
      {"\"P\x85GINA \",\" x, y \"  \t,z\r\n", {"P\x85GINA ", " x, y ", "z"}},
      {"\"q\" junk,next\r\n", {"q", "next"}},
      {"a,\r\n", {"a", ""}},
      {"a,", {"a", ""}},                                                    // a comma promises a field
      {"a\r\n\r\nb\r\n", {"a", "", "b"}},                                   // an empty line is an empty field
      {"one,two\x1A,three", {"one", "two"}},                               // 0x1A ends the file
      {"\"never closed", {"never closed"}},
      {"", {}},
      {"   ", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(AllFields(c.content), c.fields) << c.content;
}

class TranslateTest : public ::testing::Test {
 protected:
  TranslateTest() { session_.MutableSettings().rootDir = dir_.Prefix(); }
  std::string Translate(const std::string& language, const std::string& text) {
    session_.MutableSettings().languageCode = language;
    return Translator(session_, "MURDELAX").Translate(text);
  }
  testing::TempDir dir_;
  FixedEnvironment env_;
  Session session_{env_};
};

TEST_F(TranslateTest, PicksTheFieldOfTheLanguage) {
  dir_.Write("LOCALE/MURDELAX.LNG",
             "DATA, DATA, DATA, FECHA\r\n"
             "TOTAL,TOTAL GAL,TOTAU,TOTAL ESP\r\n"
             "\"P\x85GINA \",\"P\xB5XINA \",\"PAGINA \",\"P\xB5GINA \"\r\n"
             "BUIT,,,\r\n"
             "DATA,second,second,second\r\n"
             "SPREAD,\r\nover\r\nlines,here\r\n");
  struct Case {
    std::string language;
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"SPA", "DATA", "FECHA"},
      {"GLG", "DATA", "DATA"},
      {"OCI", "DATA", "DATA"},
      {"SPA", "TOTAL", "TOTAL ESP"},
      {"GLG", "TOTAL", "TOTAL GAL"},
      {"OCI", "TOTAL", "TOTAU"},
      {"SPA", "TOTAL ", "TOTAL "},                 // a trailing blank is part of the key
      {"SPA", "total", "total"},                   // so is the letter case
      {"SPA", "P\x85GINA ", "P\xB5GINA "},
      {"SPA", "BUIT", ""},                          // an empty field translates to nothing
      {"ENG", "DATA", "DATA"},
      {"   ", "TOTAL", "TOTAL"},
      {"spa", "DATA", "DATA"},
      {"CAT", "DATA", "DATA"},
      {"OCI", "SPREAD", "over"},                   // the comma before the line end left an empty field
      {"SPA", "SPREAD", "lines"},
      {"SPA", "UNLISTED", "UNLISTED"},
  };
  for (const Case& c : cases) EXPECT_EQ(Translate(c.language, c.text), c.expected) << c.language << " " << c.text;
}

TEST_F(TranslateTest, CatalanTouchesNoFile) {
  std::filesystem::create_directories(dir_.Path() / "LOCALE");
  EXPECT_EQ(Translate("CAT", "TOTAL"), "TOTAL");
  EXPECT_FALSE(dir_.Exists("LOCALE/MURDELAX.LNG"));
}

TEST_F(TranslateTest, AMissingFileIsCreatedEmpty) {
  std::filesystem::create_directories(dir_.Path() / "locale");
  EXPECT_EQ(Translate("SPA", "TOTAL"), "TOTAL");
  EXPECT_TRUE(dir_.Exists("locale/MURDELAX.LNG"));
  EXPECT_EQ(dir_.Read("locale/MURDELAX.LNG"), "");
}

TEST_F(TranslateTest, WithoutALocaleFolderTheCatalanTextComesBack) {
  EXPECT_EQ(Translate("SPA", "TOTAL"), "TOTAL");
  EXPECT_FALSE(dir_.Exists("LOCALE"));
}

TEST_F(TranslateTest, AReadOnlyInstallationStillTranslates) {
  dir_.Write("LOCALE/MURDELAX.LNG", "TOTAL,a,b,c\r\n");
  ::chmod((dir_.Path() / "LOCALE/MURDELAX.LNG").c_str(), 0444);
  ::chmod((dir_.Path() / "LOCALE").c_str(), 0555);
  EXPECT_EQ(Translate("SPA", "TOTAL"), "c");
  ::chmod((dir_.Path() / "LOCALE").c_str(), 0755);
}

TEST_F(TranslateTest, MalformedFiles) {
  struct Case {
    std::string content;
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"TOTAL,a,b", "TOTAL", "TOTAL"},                 // an entry cut short
      {"X,1,2,3\r\nTOTAL,a", "TOTAL", "TOTAL"},
      {"TOTAL,a,b,c", "TOTAL", "c"},                   // no final line end is fine
      {std::string("TOTAL,\0,\xFF,\x1Ajunk", 15), "TOTAL", ""},  // 0x1A ends the file after a comma
      {"\"" + std::string(100000, 'k') + "\",a,b,c\r\nTOTAL,a,b,c\r\n", "TOTAL", "c"},
  };
  for (const Case& c : cases) {
    dir_.Write("LOCALE/MURDELAX.LNG", c.content);
    EXPECT_EQ(Translate("SPA", c.text), c.expected);
  }
  std::filesystem::remove(dir_.Path() / "LOCALE/MURDELAX.LNG");
  std::filesystem::create_directories(dir_.Path() / "LOCALE/MURDELAX.LNG");  // a folder in its place
  EXPECT_EQ(Translate("SPA", "TOTAL"), "TOTAL");
}

}  // namespace
}  // namespace duv
