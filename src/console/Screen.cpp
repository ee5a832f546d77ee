#include "console/Screen.h"

#include <algorithm>

#include "session/TextHelpers.h"

namespace duv {

void Screen::SetColourClass(std::string_view code) {
  if (IsAllChar(code, ' ') != 0) return;
  std::string upper(code);
  for (char& c : upper) c = static_cast<char>(UpperCaseCp850(static_cast<unsigned char>(c)));
  const auto has = [&upper](char c) { return upper.find(c) != std::string::npos; };

  if (has('+')) classStack_.push_back(static_cast<char>(currentClass_));
  std::int16_t next = 0;
  if (has('-')) {
    if (!classStack_.empty()) {
      next = static_cast<unsigned char>(classStack_.back());
      classStack_.pop_back();
    }
  } else if (has('U')) {
    next = 4;
  } else {
    next = static_cast<std::int16_t>(2 * has('R') + has('N'));
  }

  // A colour number of 16 or more keeps that half of the attribute.
  const ColourPair pair = colourTable_[static_cast<std::size_t>(next)];
  std::uint8_t attribute = device_.Attribute();
  if (pair.foreground >= 0 && pair.foreground < 16) {
    attribute = static_cast<std::uint8_t>((attribute & 0xf0) | pair.foreground);
  }
  if (pair.background >= 0 && pair.background < 16) {
    attribute = static_cast<std::uint8_t>((attribute & 0x0f) | (pair.background << 4));
  }
  device_.SetAttribute(attribute);
  currentClass_ = next;
}

void Screen::PlaceCursor(std::int16_t row, std::int16_t column) {
  int absoluteRow = row;
  int absoluteColumn = column;
  if (window_.depth > 0) {
    absoluteRow += window_.top;
    absoluteColumn += window_.left;
  }
  // A coordinate outside the screen leaves that coordinate where it was.
  if (absoluteRow < 1 || absoluteRow > device_.Rows()) absoluteRow = device_.CursorRow();
  if (absoluteColumn < 1 || absoluteColumn > device_.Columns()) {
    absoluteColumn = device_.CursorColumn();
  }
  device_.SetCursorPosition(static_cast<std::int16_t>(absoluteRow),
                            static_cast<std::int16_t>(absoluteColumn));
}

void Screen::ScrollRegion(std::int16_t top, std::int16_t left, std::int16_t bottom,
                          std::int16_t right, std::int16_t lines) {
  const int lastRow = device_.Rows() - 1;
  const int lastColumn = device_.Columns() - 1;
  const int b = std::min<int>(bottom, lastRow);
  const int r = std::min<int>(right, lastColumn);
  const int t = std::max(0, std::min<int>(top, b));
  const int l = std::max(0, std::min<int>(left, r));
  if (b < 0 || r < 0) return;
  const int count = lines > 0 ? lines : (lines == 0 ? -1 : lines);
  device_.ScrollRectangle(static_cast<std::int16_t>(t + 1), static_cast<std::int16_t>(l + 1),
                          static_cast<std::int16_t>(b + 1), static_cast<std::int16_t>(r + 1), count);
}

}  // namespace duv
