#include "platform/KeyTables.h"

#include "platform/ConsoleDevice.h"

namespace duv {

unsigned char FunctionKeyScan(int number) {
  if (number >= 1 && number <= 10) return static_cast<unsigned char>(scan::kF1 + number - 1);
  if (number == 11) return scan::kF11;
  if (number == 12) return scan::kF12;
  return 0;
}

namespace {

struct TildeEntry {
  int number;
  unsigned char scanCode;
  std::uint16_t modifiers;
};

// VT220 numbering, shared by the xterm-like terminals, the Linux console and rxvt.
constexpr TildeEntry kCommonTilde[] = {
    {1, scan::kHome, 0},   {2, scan::kInsert, 0}, {3, scan::kDelete, 0}, {4, scan::kEnd, 0},
    {5, scan::kPgUp, 0},   {6, scan::kPgDn, 0},   {7, scan::kHome, 0},   {8, scan::kEnd, 0},
    {11, 0x3b, 0},         {12, 0x3c, 0},         {13, 0x3d, 0},         {14, 0x3e, 0},
    {15, 0x3f, 0},         {17, 0x40, 0},         {18, 0x41, 0},         {19, 0x42, 0},
    {20, 0x43, 0},         {21, 0x44, 0},         {23, scan::kF11, 0},   {24, scan::kF12, 0},
};

// The Linux console (and xterm's VT220 keyboard) sends Shift+F1 to Shift+F8 as F13 to F20.
constexpr TildeEntry kShiftedF13[] = {
    {25, 0x3b, kShift}, {26, 0x3c, kShift}, {28, 0x3d, kShift}, {29, 0x3e, kShift},
    {31, 0x3f, kShift}, {32, 0x40, kShift}, {33, 0x41, kShift}, {34, 0x42, kShift},
};

// rxvt counts F11 and F12 as Shift+F1 and Shift+F2, so F13 is Shift+F3.
constexpr TildeEntry kRxvtShifted[] = {
    {25, 0x3d, kShift}, {26, 0x3e, kShift}, {28, 0x3f, kShift}, {29, 0x40, kShift},
    {31, 0x41, kShift}, {32, 0x42, kShift}, {33, 0x43, kShift}, {34, 0x44, kShift},
};

template <std::size_t N>
std::optional<TableKey> Find(const TildeEntry (&table)[N], int number) {
  for (const auto& entry : table) {
    if (entry.number == number) return TableKey{entry.scanCode, entry.modifiers};
  }
  return std::nullopt;
}

}  // namespace

std::optional<TableKey> TildeKey(TerminalFamily family, int number) {
  if (auto key = Find(kCommonTilde, number)) return key;
  return family == TerminalFamily::kRxvt ? Find(kRxvtShifted, number) : Find(kShiftedF13, number);
}

std::optional<unsigned char> LetterKey(char final) {
  switch (final) {
    case 'A': return scan::kUp;
    case 'B': return scan::kDown;
    case 'C': return scan::kRight;
    case 'D': return scan::kLeft;
    case 'E': return scan::kKeypad5;
    case 'F': return scan::kEnd;
    case 'H': return scan::kHome;
    case 'P': return FunctionKeyScan(1);
    case 'Q': return FunctionKeyScan(2);
    case 'R': return FunctionKeyScan(3);
    case 'S': return FunctionKeyScan(4);
    default: return std::nullopt;
  }
}

unsigned char AltScanCode(char ascii) {
  // The letters in alphabetical order, by their place on the PC keyboard.
  static constexpr unsigned char kLetters[26] = {
      0x1e, 0x30, 0x2e, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
      0x31, 0x18, 0x19, 0x10, 0x13, 0x1f, 0x14, 0x16, 0x2f, 0x11, 0x2d, 0x15, 0x2c};
  if (ascii >= 'a' && ascii <= 'z') return kLetters[ascii - 'a'];
  if (ascii >= 'A' && ascii <= 'Z') return kLetters[ascii - 'A'];
  // Alt+1 to Alt+9 are 0x78 to 0x80, Alt+0 is 0x81.
  if (ascii >= '1' && ascii <= '9') return static_cast<unsigned char>(0x78 + ascii - '1');
  if (ascii == '0') return 0x81;
  return 0;
}

}  // namespace duv
