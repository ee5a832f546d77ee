#pragma once
// Numeric pictures: every number that is printed or shown goes through a picture, a text of the
// field's width in which "9", "Z" and "*" place digits, "." the decimal character, "," the
// thousands character and "-" or "+" the sign. The result always has the picture's width.

#include <string>
#include <string_view>

#include "session/Session.h"

namespace duv {

// The formatter with explicit separator characters.
std::string FormatPictureWith(std::string_view picture, double value, char decimalCharacter,
                              char thousandsCharacter);

// The picture FormatAmount builds for an integer picture ("ZZZ,ZZZ,ZZ9") and the number it
// shows, for a value in hundredths of the base unit under the given currency letter.
struct AmountPicture {
  std::string picture;
  double shown = 0;
};
AmountPicture BuildAmountPicture(std::string_view picture, double hundredths, std::string_view currency);

// The formatters with the user's separator characters (Zuli.ini DecCaracter and MilCaracter,
// read at the first call) and the session's active currency.
class Pictures {
 public:
  explicit Pictures(Session& session) : session_(session) {}
  std::string FormatPicture(std::string_view picture, double value) const;
  // An amount in hundredths of the base unit, shown in the active currency: with two decimals,
  // or converted and rounded to whole units under the currency letter "P".
  std::string FormatAmount(std::string_view picture, double hundredths) const;

 private:
  Session& session_;
};

}  // namespace duv
