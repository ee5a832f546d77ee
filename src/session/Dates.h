#pragma once
// Dates: packed YYYYMMDD (four bytes, see PackedDigits.h), the texts an operator types and
// reads, validation, day counts, weekdays and the long forms in the four languages.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Clock.h"
#include "session/Session.h"

namespace duv {

// Days, months ("M", the days ignored) or completed years ("A") between two dates in either
// order; "D" for days; the unit in any case. Any other unit gives 0.
std::int32_t DateDiff(std::string_view first, std::string_view second, std::string_view unit);

// 1 (Monday) to 7 (Sunday); the Julian calendar before 5 October 1582.
std::int16_t DayOfWeek(std::string_view date);

// Days in a month under the Gregorian leap rule, or the Julian one when `julian` is set.
int DaysInMonth(std::int64_t year, std::int64_t month, bool julian = false);

class Dates {
 public:
  Dates(const Clock& clock, Session& session) : clock_(clock), session_(session) {}

  // DDMMYY, or DDMMYYYY outside the two-digit-year window; "" for no date.
  std::string DateToEditText(std::string_view date) const;
  // Never fails: a text that is no date gives the all-zero date. Day and month are not
  // range-tested.
  std::string ParseTypedDate(std::string_view typed) const;
  // True (-1) when the typed text is not a real calendar date.
  std::int16_t IsInvalidTypedDate(std::string_view typed) const;
  // Style -1 YYYY-MM-DD; 0 numbers joined by the date separator; 1 the same with a three-letter
  // month; 2 and above in words. `parts` names the parts shown (D, M, A in any case); they
  // come in the configured date order. Styles 0 and 1 have a fixed width.
  std::string FormatDate(std::string_view date, std::int16_t style, std::string_view parts) const;

 private:
  int CurrentYear() const { return clock_.Today().year; }

  const Clock& clock_;
  Session& session_;
};

}  // namespace duv
