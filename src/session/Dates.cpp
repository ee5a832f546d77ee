#include "session/Dates.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "session/PackedDigits.h"
#include "session/TextHelpers.h"

namespace duv {
namespace {

struct DateParts {
  std::int64_t year = 0;
  std::int64_t month = 0;
  std::int64_t day = 0;
};

// The three parts of a packed date, from its unpacked digits YYYYMMDD; missing digits are 0.
DateParts UnpackDate(std::string_view date) {
  const std::string digits = UnpackDigits(date);
  auto number = [&](std::size_t from, std::size_t length) -> std::int64_t {
    if (from >= digits.size()) return 0;
    return NumericValue(std::string_view(digits).substr(from, length));
  };
  return {number(0, 4), number(4, 2), number(6, 2)};
}

bool IsGregorianLeap(std::int64_t year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

bool IsLeap(std::int64_t year, bool julian) { return julian ? year % 4 == 0 : IsGregorianLeap(year); }

// What the operator typed, split into day, month and year.
struct TypedDate {
  bool ok = false;
  std::int64_t day = 0;
  std::int64_t month = 0;
  std::int64_t year = 0;
  bool yearInFull = false;  // more than three digits were typed for the year
};

std::size_t LengthWithoutBlanks(std::string_view part) {
  return static_cast<std::size_t>(std::count_if(part.begin(), part.end(), [](char c) { return c != ' '; }));
}

TypedDate SplitTypedDate(std::string_view typed) {
  TypedDate result;
  std::array<std::string, 2> closed;
  std::string part;
  int separators = 0;
  bool error = false;
  for (char c : typed) {
    if (c == ' ' || (c >= '0' && c <= '9')) {
      part += c;
    } else if (c == '.' || c == '/' || c == '-') {
      if (separators < 2) {
        closed[static_cast<std::size_t>(separators)] = part;
      } else {
        error = true;
      }
      ++separators;
      part.clear();
    } else {
      error = true;
    }
  }
  if (error || separators == 1) return result;
  if (separators == 0) {
    const std::string_view text = typed;
    auto piece = [&](std::size_t from, std::size_t length) {
      return from < text.size() ? text.substr(from, length) : std::string_view();
    };
    result.day = NumericValue(piece(0, 2));
    result.month = NumericValue(piece(2, 2));
    result.year = NumericValue(piece(4, std::string_view::npos));
    result.yearInFull = LengthWithoutBlanks(piece(4, std::string_view::npos)) > 3;
  } else {
    result.day = NumericValue(closed[0]);
    result.month = NumericValue(closed[1]);
    result.year = NumericValue(part);
    result.yearInFull = LengthWithoutBlanks(part) > 3;
  }
  result.ok = true;
  return result;
}

// A two-digit year placed in the current century, then moved by a hundred years towards the
// current year when it lies more than `ahead` years after it or more than 50 years before it.
// Parsing allows 49 years ahead and validation 50: both are kept as the suite has them.
std::int64_t InCentury(std::int64_t year, int current, int ahead) {
  year += 100 * (current / 100);
  if (year - current > ahead) return year - 100;
  if (current - year > 50) return year + 100;
  return year;
}

struct LanguageWords {
  std::string_view monthNames;  // twelve 10-character entries
  std::string_view beforeConsonant;
  std::string_view beforeVowel;
  std::string_view beforeDayOrYear;
};

// Month names in code page 850, each left-aligned in ten characters.
constexpr LanguageWords kCatalan = {
    "gener     febrer    mar\x87      abril     maig      juny      "
    "juliol    agost     setembre  octubre   novembre  desembre  ",
    " de ", " d'", " del "};
constexpr LanguageWords kSpanish = {
    "enero     febrero   marzo     abril     mayo      junio     "
    "julio     agosto    septiembreoctubre   noviembre diciembre ",
    " de ", " de ", " de "};
constexpr LanguageWords kGalician = {
    "janeiro   fevereiro mar\x87o     abril     maio      junho     "
    "julho     agosto    setembro  outubro   novembro  dezembro  ",
    " de ", " de ", " do "};
constexpr LanguageWords kAranese = {
    "g\x8Ar       hereu\x8Ar   mar\x87      abriu     mai       junh      "
    "junhsega  agost     seteme    octobre   noveme    deseme    ",
    " de ", " d'", " deth "};

static_assert(kCatalan.monthNames.size() == 120 && kSpanish.monthNames.size() == 120 &&
              kGalician.monthNames.size() == 120 && kAranese.monthNames.size() == 120);

const LanguageWords& WordsFor(const std::string& languageCode) {
  if (languageCode == "SPA") return kSpanish;
  if (languageCode == "GLG") return kGalician;
  if (languageCode == "OCI") return kAranese;
  return kCatalan;
}

// The month's 10-character entry, or "" for a month without a name.
std::string_view MonthEntry(const LanguageWords& words, std::int64_t month) {
  if (month < 1 || month > 12) return {};
  return words.monthNames.substr(static_cast<std::size_t>(month - 1) * 10, 10);
}

}  // namespace

int DaysInMonth(std::int64_t year, std::int64_t month, bool julian) {
  int days = static_cast<int>(30 + ((((month + 1) % 9) + 1) % 2));
  if (month == 2) days -= 2 - (IsLeap(year, julian) ? 1 : 0);
  return days;
}

std::int32_t DateDiff(std::string_view first, std::string_view second, std::string_view unit) {
  const char u = unit.empty() ? ' ' : static_cast<char>(UpperCaseCp850(static_cast<unsigned char>(unit[0])));
  if (unit.size() != 1 || (u != 'D' && u != 'M' && u != 'A')) return 0;
  if (second < first) std::swap(first, second);
  const DateParts a = UnpackDate(first);
  const DateParts b = UnpackDate(second);

  std::int64_t result = 0;
  if (u == 'D') {
    auto julian = [](std::int64_t year) { return year < 1582; };
    for (std::int64_t y = a.year + 1; y < b.year; ++y) result += 365 + (IsLeap(y, julian(y)) ? 1 : 0);
    if (a.year < b.year) {
      for (std::int64_t m = a.month; m <= 12; ++m) result += DaysInMonth(a.year, m, julian(a.year));
      for (std::int64_t m = 1; m < b.month; ++m) result += DaysInMonth(b.year, m, julian(b.year));
    } else {
      for (std::int64_t m = a.month; m < b.month; ++m) result += DaysInMonth(a.year, m, julian(a.year));
    }
    result += b.day - a.day;
  } else if (u == 'M') {
    result = (b.year - a.year) * 12 + b.month - a.month;
  } else {
    result = b.year - a.year;
    if (a.month > b.month || (a.month == b.month && a.day > b.day)) --result;
  }
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(result, 0, INT32_MAX));
}

std::int16_t DayOfWeek(std::string_view date) {
  const DateParts d = UnpackDate(date);
  const std::string firstOfYear = PackDigits(ZeroPad(d.year, 4) + "0101");
  const std::int64_t k = DateDiff(date, firstOfYear, "D") - 1;
  const std::int64_t y = d.year - 1;
  auto mod7 = [](std::int64_t v) { return ((v % 7) + 7) % 7; };
  std::int64_t weekday;
  if (date < std::string_view(PackDigits("15821005"))) {
    weekday = mod7(mod7(y + y / 4) + 6 + k) + 1;
  } else {
    weekday = mod7(mod7(y + y / 4 - y / 100 + y / 400) + 1 + k) + 1;
  }
  return static_cast<std::int16_t>(weekday);
}

std::string Dates::DateToEditText(std::string_view date) const {
  if (date.size() < 2) return {};
  const std::int64_t day = NumericValue(UnpackDigits(date.substr(date.size() - 1)));
  const std::int64_t month = NumericValue(UnpackDigits(date.substr(date.size() - 2, 1)));
  const std::int64_t year = NumericValue(UnpackDigits(date.substr(0, date.size() - 2)));
  if (day == 0 && month == 0) return {};
  const int current = CurrentYear();
  const bool inWindow = year >= current - 50 && year <= current + 49;
  return ZeroPad(day, 2) + ZeroPad(month, 2) + (inWindow ? ZeroPad(year % 100, 2) : ZeroPad(year, 4));
}

std::string Dates::ParseTypedDate(std::string_view typed) const {
  TypedDate t = SplitTypedDate(typed);
  if (!t.ok) return PackDigits("00000000");
  if (t.day > 0 && t.month > 0 && !t.yearInFull) {
    t.year = InCentury(t.year, CurrentYear(), 49);
  }
  return PackDigits(ZeroPad(t.year, 4) + ZeroPad(t.month, 2) + ZeroPad(t.day, 2));
}

std::int16_t Dates::IsInvalidTypedDate(std::string_view typed) const {
  TypedDate t = SplitTypedDate(typed);
  if (!t.ok) return -1;
  if (t.year < 100 && !t.yearInFull) {
    t.year = InCentury(t.year, CurrentYear(), 50);
  }
  // The ten days the Gregorian reform removed.
  if (t.year == 1582 && t.month == 10 && t.day >= 5 && t.day <= 14) return -1;
  if (t.month < 1 || t.month > 12) return -1;
  if (t.day < 1 || t.day > DaysInMonth(t.year, t.month)) return -1;
  return 0;
}

std::string Dates::FormatDate(std::string_view date, std::int16_t style, std::string_view parts) const {
  UserConventions& conventions = session_.Conventions();
  const char separator = conventions.DateSeparator();
  const std::string order = conventions.DateOrder();

  const std::string digits = UnpackDigits(date);
  std::string yearText = digits.substr(0, std::min<std::size_t>(4, digits.size()));
  yearText.insert(0, 4 - yearText.size(), '0');
  auto number = [&](std::size_t from) -> std::int64_t {
    return from < digits.size() ? NumericValue(std::string_view(digits).substr(from, 2)) : 0;
  };
  const std::int64_t month = number(4);
  const std::int64_t day = number(6);

  // Styles below -1 are taken as -1.
  if (style < 0) return yearText + "-" + ZeroPad(month, 2) + "-" + ZeroPad(day, 2);

  std::string wanted;
  for (char c : parts) wanted += static_cast<char>(UpperCaseCp850(static_cast<unsigned char>(c)));
  auto wants = [&](char letter) { return wanted.find(letter) != std::string::npos; };

  const LanguageWords& words = WordsFor(session_.Settings().languageCode);
  std::string text;
  if (month != 0 || day != 0) {
    bool first = true;
    for (char letter : order) {
      if (!wants(letter)) continue;
      std::string piece;
      if (letter == 'D') {
        piece = std::to_string(day);
      } else if (letter == 'M') {
        const std::string_view entry = MonthEntry(words, month);
        if (style >= 2) {
          piece = TrimTrailingBlanks(entry);
        } else if (style == 1) {
          piece = entry.substr(0, std::min<std::size_t>(3, entry.size()));
        } else {
          piece = std::to_string(month);
        }
      } else {
        piece = yearText;
      }
      if (!first) {
        if (style < 2) {
          text += separator;
        } else if (letter == 'M') {
          const char initial = piece.empty() ? ' ' : static_cast<char>(UpperCaseCp850(static_cast<unsigned char>(piece[0])));
          const bool vowel = std::string_view("AEIOU").find(initial) != std::string_view::npos && initial != ' ';
          text += vowel ? words.beforeVowel : words.beforeConsonant;
        } else {
          text += words.beforeDayOrYear;
        }
      }
      text += piece;
      first = false;
    }
  }
  if (style >= 2) return text;

  std::size_t width = parts.empty() ? 0 : parts.size() - 1;
  if (wants('D')) width += 2;
  if (wants('M')) width += static_cast<std::size_t>(style) + 2;
  if (wants('A')) width += 4;
  text.resize(width, ' ');
  return text;
}

}  // namespace duv
