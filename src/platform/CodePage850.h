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

// One UTF-8 character at the start of the bytes. Complete: its length and code point.
// Incomplete: the bytes end inside it (more may come). Invalid: not a valid shortest-form
// character; the length is 1, the lead byte to skip.
enum class Utf8Result { kComplete, kIncomplete, kInvalid };
Utf8Result DecodeUtf8Character(std::string_view bytes, std::size_t& length, char32_t& codePoint);

}  // namespace duv
