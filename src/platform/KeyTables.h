#pragma once
// The key tables of the terminal input decoder, as data: what each terminal family sends for
// the keys of the PC keyboard, and the PC scan codes those keys stand for.

#include <cstdint>
#include <optional>

namespace duv {

enum class TerminalFamily { kXterm, kLinux, kRxvt };

namespace scan {
inline constexpr unsigned char kShiftTab = 0x0f;
inline constexpr unsigned char kF1 = 0x3b;
inline constexpr unsigned char kHome = 0x47;
inline constexpr unsigned char kUp = 0x48;
inline constexpr unsigned char kPgUp = 0x49;
inline constexpr unsigned char kLeft = 0x4b;
inline constexpr unsigned char kKeypad5 = 0x4c;
inline constexpr unsigned char kRight = 0x4d;
inline constexpr unsigned char kEnd = 0x4f;
inline constexpr unsigned char kDown = 0x50;
inline constexpr unsigned char kPgDn = 0x51;
inline constexpr unsigned char kInsert = 0x52;
inline constexpr unsigned char kDelete = 0x53;
inline constexpr unsigned char kF11 = 0x85;
inline constexpr unsigned char kF12 = 0x86;
}  // namespace scan

// The scan code of function key F1 to F12.
unsigned char FunctionKeyScan(int number);

// A key a terminal sends: its scan code and any modifier the sequence itself implies (the
// Shift of the Linux console's F13 to F20, say).
struct TableKey {
  unsigned char scanCode;
  std::uint16_t modifiers;
};

// "CSI number ~" keys of the family.
std::optional<TableKey> TildeKey(TerminalFamily family, int number);
// "CSI 1 ; m <final>" and "SS3 <final>" keys: arrows, Home, End, keypad 5, F1 to F4.
std::optional<unsigned char> LetterKey(char final);
// The scan code Alt turns a letter or digit into (Alt+X 0x2d, Alt+1 0x78); 0 for others.
unsigned char AltScanCode(char ascii);

}  // namespace duv
