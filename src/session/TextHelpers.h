#pragma once
// Small text operations shared by the console and form layers. Texts are code page 850 bytes.

#include <cstdint>
#include <string>
#include <string_view>

namespace duv {

// Blanks (0x20) are the only characters the suite trims: tabs and other bytes are text.
std::string_view TrimBlanks(std::string_view text);
std::string_view TrimTrailingBlanks(std::string_view text);

// True (-1) when the text holds only the character `code`, which includes the empty text.
std::int16_t IsAllChar(std::string_view text, std::int16_t code);

// The capital of a code page 850 letter (ASCII and the accented letters that have one in the
// code page); every other byte is returned unchanged.
unsigned char UpperCaseCp850(unsigned char byte);

// Case folding with the two tables of the suite. While `foldForSearch` is set (the line editor
// sets it around matching a typed letter with choice labels), letters fold to their plain
// capital without accent and every other byte from 64 to 237 to a blank; otherwise letters fold
// to their capitals. Bytes below 64 and from 238 up never change.
class TextFolder {
 public:
  bool foldForSearch = false;
  std::string FoldText(std::string_view text) const;
};

// True (-1) when the typed text cannot be a number for a field with that picture: a point only
// where the picture has one, a sign only where it has one and only before the first digit and
// point, blanks anywhere, nothing else.
std::int16_t IsInvalidNumberText(std::string_view text, std::string_view picture);

// Lays the text out in lines of `width` characters, concatenated without separators; the caller
// cuts the result into lines of the width. Control characters (below the blank) take no room:
// a line grows by one byte for each. Modes (any case): E, L, I left; D, R right; C centred;
// N left with "-" fill; A, B justified. A positive indent indents the first line, a negative
// one every line but the first. Lines that justification does not widen, and lines of any
// other mode, are completed with blanks on the right, so every line has its full length.
void WrapText(std::string& text, std::int16_t indent, std::int16_t width, std::string_view mode);

}  // namespace duv
