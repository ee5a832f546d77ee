#include "session/Session.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace duv {
namespace {

// An installation in a temporary tree: root/ with Zuli.ini, work/ with the terminal's files.
class SessionTest : public ::testing::Test {
 protected:
  SessionTest() {
    env_.Set("DUVROOT", dir_.Prefix() + "root/");
    env_.Set("DUVEXE", "/opt/duv bin/");
    env_.Set("DUVTMP", dir_.Prefix() + "work");
  }
  Session& Started() {
    session_.StartSession();
    return session_;
  }
  testing::TempDir dir_;
  FixedEnvironment env_;
  Session session_{env_};
};

TEST_F(SessionTest, FillsEverySettingFromTheFiles) {
  dir_.Write("work/Sessio.ini",
             "[Menu]\r\nTitol = Menu A ; note\r\nNomMenu=UUTIMENU\r\nMenu=M1\r\nChnMenu=C1\r\n"
             "Operador=Anna\r\nDuvTipOper=3\r\n[Terminal]\r\nDir=/srv/term01\r\n");
  dir_.Write("work/ZuliTerm.ini",
             "[Pantalla]\r\nSeleccio=2\r\nCol0=99999999999999999999\r\nCol2=14010700000700070007\r\n"
             "[Sistema]\r\nData=20240315\r\nSortida=PDF\r\nIdioma=SPANISH\r\n");
  const SessionSettings& s = Started().Settings();
  EXPECT_EQ(s.rootDir, dir_.Prefix() + "root/");
  EXPECT_EQ(s.exeDir, "/opt/duv bin/");
  EXPECT_EQ(s.workDir, dir_.Prefix() + "work\\");
  EXPECT_EQ(s.menuTitle, "  Menu A  ");
  EXPECT_EQ(s.menuName, "UUTIMENU");
  EXPECT_EQ(s.menu, "M1");
  EXPECT_EQ(s.chnMenu, "C1");
  EXPECT_EQ(s.operatorName, "Anna");
  EXPECT_EQ(s.duvTipOper, 3);
  EXPECT_EQ(s.terminalDir, "/srv/term01\\");
  EXPECT_EQ(s.colourTable[0].foreground, 14);
  EXPECT_EQ(s.colourTable[0].background, 1);
  EXPECT_EQ(s.colourTable[1].foreground, 7);
  EXPECT_EQ(s.colourTable[4].background, 7);
  EXPECT_EQ(s.workDate, "\x94\x98\x83\x8F");
  EXPECT_EQ(s.outputDevice, "PDF");
  EXPECT_EQ(s.languageCode, "SPA");
  EXPECT_EQ(s.systemMode, "DOS");
  EXPECT_EQ(session_.Currency().activeCurrency, "E");
}

TEST_F(SessionTest, DefaultsWhenNothingIsConfigured) {
  const SessionSettings& s = Started().Settings();
  EXPECT_EQ(s.menuTitle, "  ");
  EXPECT_EQ(s.menuName, "");
  EXPECT_EQ(s.duvTipOper, 0);
  EXPECT_EQ(s.colourTable[0].foreground, 15);
  EXPECT_EQ(s.colourTable[0].background, 0);
  EXPECT_EQ(s.colourTable[1].foreground, 7);
  EXPECT_EQ(s.colourTable[2].foreground, 0);
  EXPECT_EQ(s.colourTable[2].background, 7);
  EXPECT_EQ(s.workDate, "");
  EXPECT_EQ(s.outputDevice, "");
  EXPECT_EQ(s.languageCode, "   ");
}

TEST_F(SessionTest, MissingSelectionKeyGivesDefaultColoursEvenWhenCol0Exists) {
  dir_.Write("work/ZuliTerm.ini", "[Pantalla]\r\nSeleccio=2\r\nCol0=14011401140114011401\r\n");
  EXPECT_EQ(Started().Settings().colourTable[0].foreground, 15);
}

TEST_F(SessionTest, MissingSeleccioReadsCol0) {
  dir_.Write("work/ZuliTerm.ini", "[Pantalla]\r\nCol0=14011401140114011401\r\n");
  EXPECT_EQ(Started().Settings().colourTable[3].foreground, 14);
}

TEST(ColourTable, ShortAndOddValues) {
  const auto shortValue = ParseColourTable("1401");
  EXPECT_EQ(shortValue[0].foreground, 14);
  EXPECT_EQ(shortValue[0].background, 1);
  for (std::size_t i = 1; i < 5; ++i) {
    EXPECT_EQ(shortValue[i].foreground, 0);
    EXPECT_EQ(shortValue[i].background, 0);
  }
  const auto odd = ParseColourTable("1x0");
  EXPECT_EQ(odd[0].foreground, 1);
  EXPECT_EQ(odd[0].background, 0);
}

TEST_F(SessionTest, WorkDirNormalisation) {
  struct Case {
    std::string duvtmp;
    std::string workDir;
  };
  const Case cases[] = {{"C:", "C:"}, {"C:\\TMP", "C:\\TMP\\"}, {"C:\\TMP\\", "C:\\TMP\\"}};
  for (const Case& c : cases) {
    FixedEnvironment env(std::map<std::string, std::string>{{"DUVTMP", c.duvtmp}});
    Session session(env);
    session.StartSession();
    EXPECT_EQ(session.Settings().workDir, c.workDir) << c.duvtmp;
  }
}

TEST_F(SessionTest, WithoutDuvtmpTheTerminalDirectoryBecomesTheWorkDirectory) {
  // Sessio.ini is then read from the current directory.
  dir_.Write("Sessio.ini", "[Terminal]\r\nDir=\r\n[Menu]\r\nNomMenu=FROMCWD\r\n");
  char previous[4096];
  ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(::chdir(dir_.Path().c_str()), 0);
  FixedEnvironment env(std::map<std::string, std::string>{{"TERM", "/srv/term02"}});
  Session session(env);
  session.StartSession();
  ASSERT_EQ(::chdir(previous), 0);
  EXPECT_EQ(session.Settings().menuName, "FROMCWD");
  EXPECT_EQ(session.Settings().terminalDir, "/srv/term02\\");
  EXPECT_EQ(session.Settings().workDir, "/srv/term02\\");
}

TEST_F(SessionTest, LanguageComesFromTheTerminalThenTheUser) {
  struct Case {
    std::string terminal;  // ZuliTerm.ini line in [Sistema]
    std::string user;      // Zuli.ini line in [Usuari]
    std::string expected;
  };
  const Case cases[] = {
      {"Idioma=spa", "Idioma=GLG", "spa"},
      {"", "Idioma=GLG", "GLG"},
      {"Idioma=   ", "Idioma=OCI", "OCI"},
      {"Idioma=ES", "", "ES "},
      {"", "", "   "},
  };
  for (const Case& c : cases) {
    dir_.Write("work/ZuliTerm.ini", "[Sistema]\r\n" + c.terminal + "\r\n");
    dir_.Write("root/Zuli.ini", "[Usuari]\r\n" + c.user + "\r\n");
    Session session(env_);
    session.StartSession();
    EXPECT_EQ(session.Settings().languageCode, c.expected) << c.terminal << " / " << c.user;
  }
}

TEST(SessionMode, FromTheEnvironment) {
  struct Case {
    std::map<std::string, std::string> variables;
    std::string mode;
  };
  const Case cases[] = {
      {{{"HTTP_ACCEPT", "text/html"}, {"WINDIR", "C:\\WINDOWS"}}, "CGI"},
      {{{"HTTP_USER_AGENT", "x"}}, "CGI"},
      {{{"SYSTEMROOT", "C:\\WINDOWS"}}, "WIN"},
      {{}, "DOS"},
  };
  for (const Case& c : cases) {
    FixedEnvironment env(c.variables);
    Session session(env);
    session.StartSession();
    EXPECT_EQ(session.Settings().systemMode, c.mode);
  }
}

TEST(SelectCurrency, Commands) {
  FixedEnvironment env;
  Session session(env);
  session.SelectCurrency("a,e");
  EXPECT_EQ(session.Currency().currencyA, "E");
  EXPECT_EQ(session.Currency().activeCurrency, "E");
  session.SelectCurrency("p");  // slot P empty: A becomes active
  EXPECT_EQ(session.Currency().activeCurrency, "E");
  session.SelectCurrency("a, ");
  EXPECT_EQ(session.Currency().currencyA, "E");
  session.SelectCurrency("p, ");  // blank: P takes the letter of A
  EXPECT_EQ(session.Currency().currencyP, "E");
  session.SelectCurrency("P, pta ");
  EXPECT_EQ(session.Currency().currencyP, "P");
  EXPECT_EQ(session.Currency().activeCurrency, "E");  // setting P does not activate it
  session.SelectCurrency("p");
  EXPECT_EQ(session.Currency().activeCurrency, "P");
  session.SelectCurrency("");
  EXPECT_EQ(session.Currency().activeCurrency, "E");
  session.SelectCurrency("A,d");
  EXPECT_EQ(session.Currency().activeCurrency, "D");
}

TEST_F(SessionTest, UserConventionsAreReadOnceAndHeld) {
  dir_.Write("root/Zuli.ini", "[Usuari]\r\nDatCaracter=-x\r\nDatOrdre=amdz\r\nDecCaracter=,\r\nMilCaracter= \r\n");
  Session& session = Started();
  EXPECT_EQ(session.Conventions().DateSeparator(), '-');
  EXPECT_EQ(session.Conventions().DateOrder(), "AMD");
  EXPECT_EQ(session.Conventions().DecimalCharacter(), ',');
  EXPECT_EQ(session.Conventions().ThousandsCharacter(), '.');  // a leading blank counts as missing
  dir_.Write("root/Zuli.ini", "[Usuari]\r\nDatCaracter=.\r\nDecCaracter=;\r\n");
  EXPECT_EQ(session.Conventions().DateSeparator(), '-');
  EXPECT_EQ(session.Conventions().DecimalCharacter(), ',');
}

TEST_F(SessionTest, DateOrderThatIsNotDayMonthYearFallsBack) {
  for (const std::string order : {"DM", "DDA", "XYZ", " AMD"}) {
    dir_.Write("root/Zuli.ini", "[Usuari]\r\nDatOrdre=" + order + "\r\n");
    Session session(env_);
    session.StartSession();
    EXPECT_EQ(session.Conventions().DateOrder(), "DMA") << order;
  }
}

TEST_F(SessionTest, ConventionDefaults) {
  Session& session = Started();
  EXPECT_EQ(session.Conventions().DateSeparator(), '/');
  EXPECT_EQ(session.Conventions().DateOrder(), "DMA");
  EXPECT_EQ(session.Conventions().DecimalCharacter(), '\'');
  EXPECT_EQ(session.Conventions().ThousandsCharacter(), '.');
}

}  // namespace
}  // namespace duv
