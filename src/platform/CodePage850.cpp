#include "platform/CodePage850.h"

#include <array>

namespace duv {
namespace {

// The upper half of code page 850, byte 0x80 first.
constexpr std::array<char16_t, 128> kUpperHalf = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,  // B0
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,  // C8
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,  // D0
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,  // D8
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,  // E0
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,  // E8
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,  // F0
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,  // F8
};

// Length of the UTF-8 sequence starting at text[i] and its code point, or 0 when the bytes there
// are not a valid, shortest-form sequence.
std::size_t DecodeUtf8At(std::string_view text, std::size_t i, char32_t& codePoint) {
  std::size_t length = 0;
  return DecodeUtf8Character(text.substr(i), length, codePoint) == Utf8Result::kComplete ? length : 0;
}

}  // namespace

Utf8Result DecodeUtf8Character(std::string_view bytes, std::size_t& length, char32_t& codePoint) {
  length = 1;
  if (bytes.empty()) return Utf8Result::kIncomplete;
  const auto lead = static_cast<unsigned char>(bytes[0]);
  std::size_t expected = 0;
  char32_t value = 0;
  if (lead < 0x80) {
    codePoint = lead;
    return Utf8Result::kComplete;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    expected = 2;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    expected = 3;
    value = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    expected = 4;
    value = lead & 0x07;
  } else {
    return Utf8Result::kInvalid;
  }
  for (std::size_t k = 1; k < expected; ++k) {
    if (k >= bytes.size()) return Utf8Result::kIncomplete;
    const auto next = static_cast<unsigned char>(bytes[k]);
    if ((next & 0xC0) != 0x80) return Utf8Result::kInvalid;
    value = (value << 6) | (next & 0x3F);
  }
  const bool overlong = (expected == 3 && value < 0x800) || (expected == 4 && value < 0x10000);
  const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
  if (overlong || surrogate || value > 0x10FFFF) return Utf8Result::kInvalid;
  codePoint = value;
  length = expected;
  return Utf8Result::kComplete;
}

char32_t Cp850ToCodePoint(unsigned char byte) {
  return byte < 0x80 ? char32_t{byte} : char32_t{kUpperHalf[byte - 0x80]};
}

std::optional<unsigned char> CodePointToCp850(char32_t codePoint) {
  if (codePoint < 0x80) return static_cast<unsigned char>(codePoint);
  for (std::size_t i = 0; i < kUpperHalf.size(); ++i) {
    if (kUpperHalf[i] == codePoint) return static_cast<unsigned char>(0x80 + i);
  }
  return std::nullopt;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string Cp850ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) AppendUtf8(out, Cp850ToCodePoint(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf8ToCp850(std::string_view text, char replacement) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    char32_t cp = 0;
    std::size_t length = DecodeUtf8At(text, i, cp);
    if (length == 0) {
      cp = static_cast<unsigned char>(text[i]);
      length = 1;
    }
    const auto byte = CodePointToCp850(cp);
    out += byte ? static_cast<char>(*byte) : replacement;
    i += length;
  }
  return out;
}

std::string Latin1ToCp850(std::string_view text, char replacement) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const auto byte = CodePointToCp850(static_cast<unsigned char>(c));
    out += byte ? static_cast<char>(*byte) : replacement;
  }
  return out;
}

}  // namespace duv
