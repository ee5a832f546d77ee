#pragma once
// Code page 850 is the system's text encoding: every text stays in it as bytes, and only the
// platform layer converts, at the edges (environment values in, host file names and the
// terminal out).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace duv {

// The Unicode code point a code page 850 byte stands for. Bytes below 0x80 are themselves.
char32_t Cp850ToCodePoint(unsigned char byte);

// The code page 850 byte for a code point, when the code page has one.
std::optional<unsigned char> CodePointToCp850(char32_t codePoint);

std::string Cp850ToUtf8(std::string_view text);

// Decodes UTF-8 into code page 850. A character the code page lacks becomes `replacement`;
// a byte that is not part of a valid UTF-8 sequence is taken as a Latin-1 character.
std::string Utf8ToCp850(std::string_view text, char replacement = '?');

// Latin-1 bytes are code points below 256.
std::string Latin1ToCp850(std::string_view text, char replacement = '?');

void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace duv
