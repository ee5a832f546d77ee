#include "report/Pictures.h"

#include <cmath>
#include <cstdio>

namespace duv {
namespace {

bool IsOneOf(char c, std::string_view set) { return set.find(c) != std::string_view::npos; }

// |value| scaled by 10^decimals and rounded half to even, as decimal digits without leading
// zeros ("" for zero).
std::string RoundedDigits(double value, int decimals) {
  double scaled = std::fabs(value);
  for (int i = 0; i < decimals; ++i) scaled *= 10;
  double whole = std::floor(scaled);
  const double fraction = scaled - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) == 1.0)) whole += 1;
  if (whole == 0) return {};
  // %.0f of an integral double gives its exact decimal digits, however large.
  const int length = std::snprintf(nullptr, 0, "%.0f", whole);
  std::string digits(static_cast<std::size_t>(length), '\0');
  std::snprintf(digits.data(), digits.size() + 1, "%.0f", whole);
  return digits;
}

// The fill memory: the character written into the last digit position, plus kFilled when that
// position received a filler instead of a digit.
constexpr int kFilled = 256;

}  // namespace

std::string FormatPictureWith(std::string_view picture, double value, char decimalCharacter,
                              char thousandsCharacter) {
  const int length = static_cast<int>(picture.size());
  std::string out(picture);
  if (length == 0) return out;
  if (!std::isfinite(value)) return std::string(picture.size(), '!');

  const bool hasSign = picture.find_first_of("-+") != std::string_view::npos;
  bool negative = value < 0;

  // F: placeholders after the first point; D: the digit positions directly after it.
  int f = 0;
  int d = 0;
  const std::size_t point = picture.find('.');
  if (point != std::string_view::npos) {
    for (std::size_t i = point + 1; i < picture.size(); ++i) f += IsOneOf(picture[i], "9Zz*-+") ? 1 : 0;
    if (f > 0) {
      for (std::size_t i = point + 1; i < picture.size() && IsOneOf(picture[i], "9Zz*"); ++i) ++d;
    }
  }
  const std::string s = RoundedDigits(value, d);
  const int digitCount = static_cast<int>(s.size());
  int x = f + digitCount - d;  // 1-based index into s of the next digit to place
  int memory = 0;

  auto digitAt = [&](int index) -> char { return index >= 1 && index <= digitCount ? s[static_cast<std::size_t>(index - 1)] : '\0'; };
  auto zerosFrom = [&](int index) {
    for (int i = std::max(index, 1); i <= digitCount; ++i) {
      if (s[static_cast<std::size_t>(i - 1)] != '0') return false;
    }
    return true;
  };
  auto inIntegerZone = [&](int k) { return k < length - f; };
  auto at = [&](int k) -> char& { return out[static_cast<std::size_t>(k - 1)]; };

  // First pass: digits from the right, while any are left.
  int k = length;
  for (; k > 0 && x > 0; --k) {
    const char c = picture[static_cast<std::size_t>(k - 1)];
    const char digit = digitAt(x);
    switch (c) {
      case '9':
        at(k) = digit ? digit : '0';
        memory = 0;
        --x;
        break;
      case 'Z':
      case 'z':
        if (inIntegerZone(k)) {
          at(k) = digit ? digit : ' ';
          memory = digit ? ' ' : ' ' + kFilled;
        } else if (f == 0 || !zerosFrom(x)) {
          at(k) = digit ? digit : '0';
          memory = digit ? ' ' : ' ' + kFilled;
        } else {
          at(k) = ' ';
          memory = ' ' + kFilled;
        }
        --x;
        break;
      case '*':
        at(k) = digit ? digit : '*';
        memory = digit ? '*' : '*' + kFilled;
        --x;
        break;
      case '.':
        at(k) = memory >= kFilled ? static_cast<char>(memory - kFilled) : decimalCharacter;
        f = 0;
        break;
      case ',':
        at(k) = thousandsCharacter;
        break;
      case '-':
        at(k) = negative ? '-' : ' ';
        if (f > 0) --x;
        break;
      case '+':
        at(k) = negative ? '-' : '+';
        if (f > 0) --x;
        break;
      default:
        break;
    }
  }

  // Overflow: digits left over, or a minus with nowhere to go.
  if (x != 0 || (!hasSign && negative && k == 0)) {
    const int integerDigits = std::max(0, digitCount - d);
    std::string r = negative ? "-" : "";
    r += s.substr(0, static_cast<std::size_t>(integerDigits));
    if (d > 0) r += decimalCharacter;
    r += s.substr(static_cast<std::size_t>(integerDigits));
    if (static_cast<int>(r.size()) < length) {
      r.insert(0, static_cast<std::size_t>(length) - r.size(), ' ');
    } else {
      r.resize(static_cast<std::size_t>(length));
    }
    if (length < integerDigits + (negative ? 1 : 0)) r.assign(static_cast<std::size_t>(length), '!');
    return r;
  }

  // Second pass: fillers to the left of the digits, and the leading minus of a picture without
  // a sign position in the first free place.
  for (; k > 0; --k) {
    const char c = picture[static_cast<std::size_t>(k - 1)];
    const bool minusApplies = negative && !hasSign;
    switch (c) {
      case '9':
        if (minusApplies && inIntegerZone(k)) {
          at(k) = '-';
          negative = false;
        } else {
          at(k) = '0';
        }
        memory = 0;
        break;
      case 'Z':
      case 'z':
        if (minusApplies) {
          at(k) = '-';
          negative = false;
        } else if (inIntegerZone(k) || value == 0) {
          at(k) = ' ';
          memory = ' ' + kFilled;
        } else {
          at(k) = '0';
          memory = ' ';
        }
        break;
      case '*':
        if (minusApplies) {
          at(k) = '-';
          negative = false;
        } else {
          at(k) = inIntegerZone(k) ? '*' : '0';
        }
        memory = '*';
        break;
      case ',':
        if (minusApplies) {
          at(k) = '-';
          negative = false;
        } else {
          at(k) = memory != 0 ? static_cast<char>(memory % kFilled) : thousandsCharacter;
        }
        break;
      case '.':
        at(k) = memory >= kFilled ? static_cast<char>(memory % kFilled) : decimalCharacter;
        break;
      case '-':
        at(k) = negative ? '-' : ' ';
        break;
      case '+':
        at(k) = negative ? '-' : '+';
        break;
      default:
        break;
    }
  }
  return out;
}

AmountPicture BuildAmountPicture(std::string_view picture, double hundredths, std::string_view currency) {
  const std::size_t length = picture.size();
  char fill = 'Z';
  bool hasComma = false;
  bool digitFlag = hundredths != 0;
  bool afterPoint = false;
  int decimals = 0;
  char sign = '\0';
  bool leadingSign = false;
  for (std::size_t i = 0; i < length; ++i) {
    const char c = picture[i];
    if (c == 'Z' || c == '*') fill = c;
    if (c == ',') hasComma = true;
    if (c == '9' && !afterPoint) digitFlag = true;
    if (c == '.') {
      afterPoint = true;
      ++decimals;
    }
    if (c == '9' && afterPoint) ++decimals;
    if (c == '-' || c == '+') {
      sign = c;
      leadingSign = i == 0;
    }
  }

  std::string q(length, fill);
  auto shift = [&q](std::size_t count) { q.erase(0, std::min(count, q.size())); };
  if (digitFlag && !q.empty()) {
    shift(1);
    q += '9';
  }
  if (hasComma) {
    // Thousands separators every three digit positions from the right.
    for (long n = static_cast<long>(length) - 3; n >= 1; n -= 4) {
      q.insert(static_cast<std::size_t>(n), 1, ',');
      shift(1);
    }
  }

  AmountPicture result;
  if (currency == "P") {
    // The conversion factor is held in single precision, as stored amounts were always shown.
    result.shown = hundredths / 100 * static_cast<double>(166.386f);
  } else {
    result.shown = hundredths / 100;
    decimals += decimals == 0 ? 3 : 2;
  }
  if (decimals > 0) {
    q += '.';
    q.append(static_cast<std::size_t>(decimals - 1), digitFlag ? '9' : 'Z');
    shift(static_cast<std::size_t>(decimals));
  }
  if (sign != '\0' && !q.empty()) {
    if (leadingSign) {
      q[0] = sign;
    } else {
      q += sign;
      shift(1);
    }
  }
  result.picture = q;
  return result;
}

std::string Pictures::FormatPicture(std::string_view picture, double value) const {
  UserConventions& conventions = session_.Conventions();
  return FormatPictureWith(picture, value, conventions.DecimalCharacter(), conventions.ThousandsCharacter());
}

std::string Pictures::FormatAmount(std::string_view picture, double hundredths) const {
  const AmountPicture amount = BuildAmountPicture(picture, hundredths, session_.Currency().activeCurrency);
  return FormatPicture(amount.picture, amount.shown);
}

}  // namespace duv
