#include "session/PackedDigits.h"

namespace duv {

std::string PackDigits(std::string_view digits) {
  const std::size_t n = digits.size();
  if (n == 0) return {};
  const std::size_t first = digits.find_first_not_of(' ');
  std::string_view core;
  if (first != std::string_view::npos) {
    const std::size_t last = digits.find_last_not_of(' ');
    core = digits.substr(first, last - first + 1);
  }
  std::string aligned(n - core.size(), '0');
  aligned += core;
  for (char& c : aligned) {
    if (c == ' ') c = '0';
  }
  auto digitValue = [](char c) { return c >= '0' && c <= '9' ? c - '0' : 0; };
  std::string packed;
  packed.reserve((n + 1) / 2);
  for (std::size_t i = 0; i < n; i += 2) {
    const int high = digitValue(aligned[i]);
    const int low = i + 1 < n ? digitValue(aligned[i + 1]) : 0;
    packed += static_cast<char>(128 + 10 * high + low);
  }
  return packed;
}

std::string UnpackDigits(std::string_view packed) {
  std::string digits;
  digits.reserve(packed.size() * 2);
  for (char c : packed) {
    const int value = (static_cast<unsigned char>(c) & 0x7F) % 100;
    digits += static_cast<char>('0' + value / 10);
    digits += static_cast<char>('0' + value % 10);
  }
  return digits;
}

std::string ZeroPad(std::int64_t value, int width) {
  if (width <= 0) return {};
  // The magnitude as unsigned, so that the most negative value has one too.
  std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value)
                                      : static_cast<std::uint64_t>(value);
  std::string text = std::to_string(magnitude);
  const auto w = static_cast<std::size_t>(width);
  if (text.size() < w) text.insert(0, w - text.size(), '0');
  return text.substr(text.size() - w);
}

std::int64_t NumericValue(std::string_view text) {
  constexpr std::int64_t kLimit = 999999999999999999;
  std::size_t i = 0;
  auto skipBlanks = [&] {
    while (i < text.size() && text[i] == ' ') ++i;
  };
  skipBlanks();
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  std::int64_t value = 0;
  for (skipBlanks(); i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, skipBlanks()) {
    value = value > (kLimit - 9) / 10 ? kLimit : value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

}  // namespace duv
