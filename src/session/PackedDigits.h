#pragma once
// Packed digits: two decimal digits per byte, each byte 128 + 10 * first + second, so that
// packed texts of equal length compare as plain bytes in the order of the numbers they hold.
// Codes, keys, dates (YYYYMMDD, four bytes) and selection values are kept this way.

#include <cstdint>
#include <string>
#include <string_view>

namespace duv {

// The digits are right-aligned in the width of the input: blanks around them are dropped and
// the width refilled with "0" on the left; inner blanks and other non-digits pack as 0.
std::string PackDigits(std::string_view digits);

// Two digits per byte, from the byte's value with the top bit cleared.
std::string UnpackDigits(std::string_view packed);

// The value's digits without sign, left-padded with "0" and cut to the last `width` characters.
std::string ZeroPad(std::int64_t value, int width);

// The numeric value of a text as the suite reads numbers: blanks anywhere are skipped, an
// optional sign, then digits up to the first other character; no digits give 0. Values
// saturate at +/-999999999999999999.
std::int64_t NumericValue(std::string_view text);

}  // namespace duv
