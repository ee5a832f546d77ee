#pragma once
// The console the system draws on and reads from, as the screen, window, keyboard and editor
// layers need it. Coordinates are 1-based absolute (row 1, column 1 is the top-left cell);
// texts are code page 850 bytes; an attribute is foreground + 16 x background in the console's
// colour order (0 black, 1 blue, 2 green, 3 cyan, 4 red, 5 magenta, 6 brown, 7 light grey,
// 8 to 15 their bright forms).

#include <cstdint>
#include <optional>
#include <string_view>

namespace duv {

// Modifier state bits of an input event, as the console's control-key state gives them.
inline constexpr std::uint16_t kRightAlt = 1;
inline constexpr std::uint16_t kLeftAlt = 2;
inline constexpr std::uint16_t kRightCtrl = 4;
inline constexpr std::uint16_t kLeftCtrl = 8;
inline constexpr std::uint16_t kShift = 16;

// Mouse event kinds and buttons.
inline constexpr std::int16_t kMouseMoved = 1;
inline constexpr std::int16_t kMouseDoubleClick = 2;
inline constexpr std::int16_t kMousePressed = 4;
inline constexpr std::int16_t kMouseReleased = 8;
inline constexpr std::int16_t kLeftButton = 1;
inline constexpr std::int16_t kRightButton = 2;

// The largest console the program sees: the window file keeps coordinates in two digits.
inline constexpr std::int16_t kMaxConsoleRows = 99;
inline constexpr std::int16_t kMaxConsoleColumns = 99;

struct ConsoleEvent {
  enum class Kind { kKey, kMouse };
  Kind kind = Kind::kKey;
  // A key: its character, or 0 and the keyboard scan code of an extended key. Both 0 is an
  // event that carries only a change of the modifier state (a modifier released).
  unsigned char character = 0;
  unsigned char scanCode = 0;
  std::uint16_t modifiers = 0;
  // A mouse event: kind, button and the 1-based absolute cell.
  std::int16_t mouseKind = 0;
  std::int16_t button = 0;
  std::int16_t row = 0;
  std::int16_t column = 0;

  bool IsMouse() const { return kind == Kind::kMouse; }
  // The key code of the PC convention: the character, or 256 x the scan code.
  std::int16_t KeyCode() const {
    if (IsMouse()) return 0;
    if (character != 0) return character;
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(scanCode) << 8);
  }

  static ConsoleEvent Character(unsigned char c, std::uint16_t mods = 0) {
    ConsoleEvent e;
    e.character = c;
    e.modifiers = mods;
    return e;
  }
  static ConsoleEvent Extended(unsigned char scan, std::uint16_t mods = 0) {
    ConsoleEvent e;
    e.scanCode = scan;
    e.modifiers = mods;
    return e;
  }
  static ConsoleEvent Mouse(std::int16_t mouseKind, std::int16_t button, std::int16_t row,
                            std::int16_t column, std::uint16_t mods = 0) {
    ConsoleEvent e;
    e.kind = Kind::kMouse;
    e.mouseKind = mouseKind;
    e.button = button;
    e.row = row;
    e.column = column;
    e.modifiers = mods;
    return e;
  }
  friend bool operator==(const ConsoleEvent&, const ConsoleEvent&) = default;
};

struct ConsoleCell {
  unsigned char character = ' ';
  std::uint8_t attribute = 7;
  friend bool operator==(const ConsoleCell&, const ConsoleCell&) = default;
};

class ConsoleDevice {
 public:
  virtual ~ConsoleDevice() = default;

  // The visible size, at most kMaxConsoleRows x kMaxConsoleColumns.
  virtual std::int16_t Rows() const = 0;
  virtual std::int16_t Columns() const = 0;

  virtual void SetAttribute(std::uint8_t attribute) = 0;
  virtual std::uint8_t Attribute() const = 0;
  virtual void SetCursorPosition(std::int16_t row, std::int16_t column) = 0;
  virtual std::int16_t CursorRow() const = 0;
  virtual std::int16_t CursorColumn() const = 0;
  // 0 hides the cursor, -1 shows it at the default height, 1 to 100 shows it at that height
  // in percent of the cell.
  virtual void SetCursorShape(std::int16_t size) = 0;

  // Writes the bytes at the cursor in the current attribute and advances the cursor, going on
  // at the start of the next row after the last column; the last cell of the screen is the end.
  virtual void Write(std::string_view text) = 0;
  virtual ConsoleCell ReadCell(std::int16_t row, std::int16_t column) const = 0;
  virtual void WriteCell(std::int16_t row, std::int16_t column, ConsoleCell cell) = 0;
  // Scrolls the rectangle (1-based, inclusive, already inside the screen) up by `lines` rows
  // when positive, down when negative, blanking the vacated rows in the current attribute.
  virtual void ScrollRectangle(std::int16_t top, std::int16_t left, std::int16_t bottom,
                               std::int16_t right, int lines) = 0;
  virtual void Beep() = 0;

  // One waiting input event, or nothing; never waits.
  virtual std::optional<ConsoleEvent> ReadEvent() = 0;
  // Sleeps until input may be waiting or the time has passed; what is drawn is shown first.
  virtual void WaitForInput(int milliseconds) = 0;
  // Shows what is drawn now, for a program that is about to work or sleep without reading
  // input (a wait on a locked record, say).
  virtual void Refresh() {}
  virtual void SetMouseReporting(bool on) = 0;
  virtual std::int16_t MouseButtons() const = 0;

  // Hands the terminal to another program (its own modes restored) and takes it back,
  // showing the screen again exactly as it was.
  virtual void Suspend() {}
  virtual void Resume() {}
};

}  // namespace duv
