#include "session/Dates.h"

#include <gtest/gtest.h>

#include "session/PackedDigits.h"
#include "support/TempDir.h"

namespace duv {
namespace {

std::string Date(const char* yyyymmdd) { return PackDigits(yyyymmdd); }

// The current date in 2024, Catalan, and the conventions of a Zuli.ini the test writes.
class DatesTest : public ::testing::Test {
 protected:
  DatesTest() { UseConventions("", ""); }
  void UseConventions(const std::string& separator, const std::string& order) {
    session_ = std::make_unique<Session>(env_);
    session_->MutableSettings().rootDir = dir_.Prefix();
    session_->MutableSettings().languageCode = "CAT";
    dir_.Write("Zuli.ini", "[Usuari]\r\nDatCaracter=" + separator + "\r\nDatOrdre=" + order + "\r\n");
    dates_ = std::make_unique<Dates>(clock_, *session_);
  }
  void Language(const char* code) { session_->MutableSettings().languageCode = code; }

  testing::TempDir dir_;
  FixedEnvironment env_;
  FixedClock clock_{{2024, 6, 1}};
  std::unique_ptr<Session> session_;
  std::unique_ptr<Dates> dates_;
};

TEST_F(DatesTest, DateToEditText) {
  struct Case {
    std::string date;
    std::string text;
  };
  const Case cases[] = {
      {Date("20240305"), "050324"}, {Date("19600101"), "01011960"}, {Date("20740101"), "01012074"},
      {Date("20731231"), "311273"}, {Date("19740101"), "010174"},   {"", ""},
      {Date("00000000"), ""},       {Date("20240300"), "000324"},
  };
  for (const Case& c : cases) EXPECT_EQ(dates_->DateToEditText(c.date), c.text) << UnpackDigits(c.date);
}

TEST_F(DatesTest, ParseTypedDate) {
  struct Case {
    std::string typed;
    std::string digits;
  };
  const Case cases[] = {
      {"050324", "20240305"},   {"5/3/24", "20240305"},  {"5-3-24", "20240305"},
      {"5.3.2024", "20240305"}, {"5.3.74", "19740305"},  {"5.3.73", "20730305"},
      {"1503", "20000315"},     {"5/3", "00000000"},     {"5/3/24/1", "00000000"},
      {"5x3x24", "00000000"},   {"31/2/24", "20240231"}, {"0/0/24", "00240000"},
      {"15/3/2024 ", "20240315"}, {" 5/ 3/ 24", "20240305"}, {"15/3/124", "20240315"},
      {"1 5/3/24", "20240315"}, {"", "00000000"}, {"05032024", "20240305"},
  };
  for (const Case& c : cases) EXPECT_EQ(UnpackDigits(dates_->ParseTypedDate(c.typed)), c.digits) << c.typed;
}

TEST_F(DatesTest, TheTwoDigitYearWindowFollowsTheClock) {
  clock_.Set({2051, 1, 1});
  EXPECT_EQ(UnpackDigits(dates_->ParseTypedDate("1/1/00")), "21000101");
  EXPECT_EQ(UnpackDigits(dates_->ParseTypedDate("1/1/01")), "20010101");
  EXPECT_EQ(dates_->DateToEditText(Date("20010101")), "010101");
  EXPECT_EQ(dates_->DateToEditText(Date("20000101")), "01012000");
}

TEST_F(DatesTest, IsInvalidTypedDate) {
  struct Case {
    std::string typed;
    std::int16_t invalid;
  };
  const Case cases[] = {
      {"29/02/2024", 0},  {"29/02/2023", -1}, {"29/02/1900", -1}, {"29/02/1500", -1},
      {"29/02/2000", 0},  {"4/10/1582", 0},   {"15/10/1582", 0},  {"10/10/1582", -1},
      {"5/10/1582", -1},  {"14/10/1582", -1}, {"31/04/24", -1},   {"5/13/24", -1},
      {"0/3/24", -1},     {"", -1},           {"31/12/24", 0},    {"290224", 0},
      {"5/3", -1},        {"5x3x24", -1},     {"31/4/2024", -1},  {"30/4/2024", 0},
      {"29/2/99999999999999999999", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(dates_->IsInvalidTypedDate(c.typed), c.invalid) << c.typed;
}

TEST(DateDiff, Units) {
  struct Case {
    const char* first;
    const char* second;
    const char* unit;
    std::int32_t expected;
  };
  const Case cases[] = {
      {"20240301", "20240201", "D", 29}, {"20240201", "20240301", "D", 29},
      {"20240301", "20240201", "M", 1},  {"20240301", "20240201", "A", 0},
      {"20230315", "20240314", "A", 0},  {"20230315", "20240315", "A", 1},
      {"15821004", "15821015", "D", 11}, {"20240101", "20240101", "D", 0},
      {"20231231", "20240101", "d", 1},  {"20000101", "20240101", "D", 8766},
      {"15000101", "16000101", "D", 36525},  // Julian leap years before 1582
      {"20240301", "20240201", "X", 0},  {"20240301", "20240201", "", 0},
      {"20230101", "20241231", "M", 23},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DateDiff(Date(c.first), Date(c.second), c.unit), c.expected) << c.first << " " << c.second << " " << c.unit;
  }
}

TEST(DayOfWeek, BothCalendars) {
  struct Case {
    const char* date;
    std::int16_t day;
  };
  const Case cases[] = {
      {"20240315", 5}, {"20240101", 1}, {"20230101", 7}, {"15821004", 4},
      {"15821015", 5}, {"20000229", 2}, {"19000101", 1}, {"20261211", 5},
  };
  for (const Case& c : cases) EXPECT_EQ(DayOfWeek(Date(c.date)), c.day) << c.date;
}

TEST_F(DatesTest, FormatDateInCatalan) {
  struct Case {
    const char* date;
    std::int16_t style;
    const char* parts;
    std::string expected;
  };
  const Case cases[] = {
      {"20240305", 0, "dma", "5/3/2024  "},
      {"20240305", 1, "dma", "5/mar/2024 "},
      {"20240305", 2, "dma", "5 de mar\x87 del 2024"},
      {"20240305", -1, "dma", "2024-03-05"},
      {"20240405", 2, "dma", "5 d'abril del 2024"},
      {"20240805", 2, "dma", "5 d'agost del 2024"},
      {"20241005", 2, "dma", "5 d'octubre del 2024"},
      {"20240305", 2, "ma", "mar\x87 del 2024"},
      {"20240305", 2, "m", "mar\x87"},
      {"20240305", 0, "DM", "5/3  "},
      {"00000000", 0, "dma", "          "},
      {"00000000", -1, "dma", "0000-00-00"},
      {"", 0, "dma", "          "},
      {"20241305", 2, "dma", "5 de  del 2024"},  // month 13 has no name
      {"20241305", 1, "dma", "5//2024    "},
      {"20241305", 0, "dma", "5/13/2024 "},
      {"20241225", 0, "dma", "25/12/2024"},
      {"20240305", -3, "dma", "2024-03-05"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(dates_->FormatDate(Date(c.date), c.style, c.parts), c.expected) << c.date << " " << c.style << " " << c.parts;
  }
}

TEST_F(DatesTest, FormatDateInTheOtherLanguages) {
  struct Case {
    const char* language;
    const char* date;
    std::string expected;
  };
  const Case cases[] = {
      {"SPA", "20240305", "5 de marzo de 2024"},
      {"SPA", "20240405", "5 de abril de 2024"},
      {"GLG", "20240305", "5 de mar\x87o do 2024"},
      {"GLG", "20241005", "5 de outubro do 2024"},
      {"OCI", "20240305", "5 de mar\x87 deth 2024"},
      {"OCI", "20241005", "5 d'octobre deth 2024"},
      {"OCI", "20240105", "5 de g\x8Ar deth 2024"},
      {"OCI", "20240705", "5 de junhsega deth 2024"},
      {"CAT", "20240105", "5 de gener del 2024"},
      {"ENG", "20240905", "5 de setembre del 2024"},
      {"SPA", "20240905", "5 de septiembre de 2024"},
  };
  for (const Case& c : cases) {
    Language(c.language);
    EXPECT_EQ(dates_->FormatDate(Date(c.date), 2, "dma"), c.expected) << c.language << " " << c.date;
  }
  Language("SPA");
  EXPECT_EQ(dates_->FormatDate(Date("20240905"), 1, "dma"), "5/sep/2024 ");
}

TEST_F(DatesTest, FormatDateFollowsTheConfiguredOrderAndSeparator) {
  UseConventions("-", "AMD");
  EXPECT_EQ(dates_->FormatDate(Date("20240305"), 0, "dma"), "2024-3-5  ");
  EXPECT_EQ(dates_->FormatDate(Date("20240305"), 2, "dma"), "2024 de mar\x87 del 5");
  UseConventions("", "mda");
  EXPECT_EQ(dates_->FormatDate(Date("20240305"), 0, "dma"), "3/5/2024  ");
  UseConventions(" ", "");
  EXPECT_EQ(dates_->FormatDate(Date("20240305"), 0, "dma"), "5/3/2024  ");
}

}  // namespace
}  // namespace duv
