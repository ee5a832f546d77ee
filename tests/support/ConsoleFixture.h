#pragma once
// The console layer built on a virtual console of 25 x 80 with the default colours and a
// temporary work directory for the window file.

#include <memory>

#include "console/Help.h"
#include "console/Keyboard.h"
#include "console/LineEditor.h"
#include "console/Screen.h"
#include "console/WindowStack.h"
#include "platform/Clipboard.h"
#include "platform/KeyboardState.h"
#include "platform/VirtualConsole.h"
#include "support/TempDir.h"

namespace duv::testing {

// Attributes of the default colour classes.
inline constexpr std::uint8_t kHighlight = 0x0f;  // class 0: bright white on black
inline constexpr std::uint8_t kNormal = 0x07;     // class 1: light grey on black
inline constexpr std::uint8_t kReverse = 0x70;    // classes 2 to 4: black on light grey

class ConsoleFixture : public ::testing::Test {
 protected:
  explicit ConsoleFixture(std::int16_t rows = 25, std::int16_t columns = 80)
      : console(rows, columns),
        colours(ParseColourTable(kDefaultColours)),
        screen(console, colours),
        windows(screen, work.Prefix()),
        keyboard(console),
        editor(screen, keyboard, keyboardState, clipboard) {}

  std::string WindowFile() const { return work.Read("WinPush.tmp"); }
  bool WindowFileExists() const { return work.Exists("WinPush.tmp"); }

  TempDir work;
  VirtualConsole console;
  std::array<ColourPair, 5> colours;
  Screen screen;
  WindowStack windows;
  Keyboard keyboard;
  KeyboardState keyboardState;
  MemoryClipboard clipboard;
  LineEditor editor;
};

}  // namespace duv::testing
