#include "platform/TerminalWriter.h"

#include "platform/CodePage850.h"

namespace duv {

int AnsiColour(int consoleColour) {
  return ((consoleColour & 1) << 2) | (consoleColour & 2) | ((consoleColour & 4) >> 2) | (consoleColour & 8);
}

std::string AttributeSgr(std::uint8_t attribute, int colours) {
  const int foreground = AnsiColour(attribute & 0x0f);
  const int background = AnsiColour(attribute >> 4);
  std::string sgr = "0";
  if (colours >= 16) {
    sgr += ";" + std::to_string(foreground < 8 ? 30 + foreground : 90 + foreground - 8);
    sgr += ";" + std::to_string(background < 8 ? 40 + background : 100 + background - 8);
  } else {
    if (foreground >= 8) sgr += ";1";
    sgr += ";" + std::to_string(30 + (foreground & 7));
    sgr += ";" + std::to_string(40 + (background & 7));
  }
  return sgr;
}

std::string GlyphUtf8(unsigned char byte) {
  // The OEM glyphs of the control positions (0 shows blank).
  static constexpr char32_t kControlGlyphs[32] = {
      U' ',      U'\u263a', U'\u263b', U'\u2665', U'\u2666', U'\u2663', U'\u2660', U'\u2022',
      U'\u25d8', U'\u25cb', U'\u25d9', U'\u2642', U'\u2640', U'\u266a', U'\u266b', U'\u263c',
      U'\u25ba', U'\u25c4', U'\u2195', U'\u203c', U'\u00b6', U'\u00a7', U'\u25ac', U'\u21a8',
      U'\u2191', U'\u2193', U'\u2192', U'\u2190', U'\u221f', U'\u2194', U'\u25b2', U'\u25bc'};
  char32_t codePoint = 0;
  if (byte < 32) {
    codePoint = kControlGlyphs[byte];
  } else if (byte == 0x7f) {
    codePoint = U'\u2302';
  } else {
    codePoint = Cp850ToCodePoint(byte);
  }
  std::string out;
  AppendUtf8(out, codePoint);
  return out;
}

void TerminalWriter::Invalidate() {
  drawn_.clear();
  drawnRows_ = 0;
  drawnColumns_ = 0;
  drawnShape_ = -2;
  drawnCursorRow_ = 0;
  drawnCursorColumn_ = 0;
}

std::string TerminalWriter::Render(const std::vector<ConsoleCell>& cells, int rows, int columns,
                                   int cursorRow, int cursorColumn, int cursorShape) {
  std::string out;
  const bool full = rows != drawnRows_ || columns != drawnColumns_ || drawn_.size() != cells.size();
  if (full) {
    out += "\x1b[0m\x1b[2J";
    drawn_.assign(cells.size(), ConsoleCell{});
  }
  int attribute = -1;
  int atRow = -1, atColumn = -1;
  for (int r = 1; r <= rows; ++r) {
    for (int c = 1; c <= columns; ++c) {
      const std::size_t i = static_cast<std::size_t>((r - 1) * columns + (c - 1));
      if (!full && cells[i] == drawn_[i]) continue;
      if (r != atRow || c != atColumn) out += "\x1b[" + std::to_string(r) + ";" + std::to_string(c) + "H";
      if (cells[i].attribute != attribute) {
        attribute = cells[i].attribute;
        out += "\x1b[" + AttributeSgr(cells[i].attribute, profile_.colours) + "m";
      }
      out += GlyphUtf8(cells[i].character);
      drawn_[i] = cells[i];
      atRow = r;
      // After the last column the terminal waits to wrap: always place the next cell.
      atColumn = c < columns ? c + 1 : -1;
    }
  }
  drawnRows_ = rows;
  drawnColumns_ = columns;
  if (out.empty() && cursorRow == drawnCursorRow_ && cursorColumn == drawnCursorColumn_ &&
      cursorShape == drawnShape_) {
    return out;  // nothing changed
  }
  // The cursor is hidden while cells are drawn so that it does not flicker across the screen.
  if (!out.empty() && drawnShape_ != 0) out = "\x1b[?25l" + out;
  drawnCursorRow_ = cursorRow;
  drawnCursorColumn_ = cursorColumn;
  out += "\x1b[" + std::to_string(cursorRow) + ";" + std::to_string(cursorColumn) + "H";
  if (cursorShape != 0) {
    if (profile_.cursorShapes && cursorShape != drawnShape_) {
      // Default, then a bar for the insert height and a block for the overwrite one.
      const int style = cursorShape < 0 ? 0 : (cursorShape < 75 ? 6 : 2);
      out += "\x1b[" + std::to_string(style) + " q";
    }
    out += "\x1b[?25h";
  } else if (drawnShape_ != 0) {
    out += "\x1b[?25l";
  }
  drawnShape_ = cursorShape;
  return out;
}

}  // namespace duv
