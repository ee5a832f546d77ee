#pragma once
// The terminal output writer: compares the cell grid with what was last drawn and gives the
// bytes that draw only the changed cells, the cursor and its shape, in one piece for one write.
// Code page 850 becomes UTF-8 here and only here.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ConsoleDevice.h"

namespace duv {

struct TerminalProfile {
  int colours = 16;            // 8 draws bright foregrounds as bold and backgrounds dark
  bool cursorShapes = true;    // DECSCUSR; the Linux console has none
};

// The terminal colour (ANSI order: red is 1, blue 4) of a console colour (blue is 1, red 4).
int AnsiColour(int consoleColour);
// The SGR parameters of a console attribute.
std::string AttributeSgr(std::uint8_t attribute, int colours);
// The character a code page 850 byte shows, as UTF-8: the OEM glyphs for control bytes too.
std::string GlyphUtf8(unsigned char byte);

class TerminalWriter {
 public:
  explicit TerminalWriter(TerminalProfile profile) : profile_(profile) {}

  std::string Render(const std::vector<ConsoleCell>& cells, int rows, int columns, int cursorRow,
                     int cursorColumn, int cursorShape);
  // Forgets what was drawn: the next Render draws every cell (after a resize, a resume).
  void Invalidate();

 private:
  TerminalProfile profile_;
  std::vector<ConsoleCell> drawn_;
  int drawnRows_ = 0;
  int drawnColumns_ = 0;
  int drawnShape_ = -2;  // none yet
  int drawnCursorRow_ = 0;
  int drawnCursorColumn_ = 0;
};

}  // namespace duv
