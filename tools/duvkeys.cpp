// duvkeys: shows what the program receives from this terminal. Every key code the keyboard
// reader returns is listed in hexadecimal with four digits (2d00 for Alt+X, 000d for Enter),
// one per line, until Esc is pressed twice in a row. The list goes to standard output as well:
// as the keys come when it is redirected, at the end otherwise.

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "console/Keyboard.h"
#include "platform/TerminalConsole.h"

namespace {

std::string Hex(std::int16_t key) {
  char text[8];
  std::snprintf(text, sizeof text, "%04x", static_cast<unsigned>(static_cast<std::uint16_t>(key)));
  return text;
}

// A name for the keys an operator is likely to try.
std::string KeyName(std::int16_t key) {
  const auto code = static_cast<std::uint16_t>(key);
  struct Named {
    std::uint16_t code;
    const char* name;
  };
  static constexpr Named kNames[] = {
      {3, "Ctrl+C"},        {8, "Backspace"},      {9, "Tab"},          {13, "Enter"},
      {22, "Ctrl+V"},       {25, "Ctrl+Y"},        {27, "Esc"},         {32, "Space"},
      {0x0f00, "Shift+Tab"}, {0x2100, "Alt+F"},    {0x2d00, "Alt+X"},   {0x2e00, "Alt+C"},
      {0x4700, "Home"},     {0x4800, "Up"},        {0x4900, "PgUp"},    {0x4b00, "Left"},
      {0x4c00, "Keypad 5"}, {0x4d00, "Right"},     {0x4f00, "End"},     {0x5000, "Down"},
      {0x5100, "PgDn"},     {0x5200, "Insert"},    {0x5300, "Delete"},  {0x7300, "Ctrl+Left"},
      {0x7400, "Ctrl+Right"}, {0x7700, "Ctrl+Home"}, {0x8500, "F11"},   {0x8600, "F12"},
      {0x8700, "Shift+F11"}, {0x8800, "Shift+F12"}, {0x8900, "Ctrl+F11"}, {0x8a00, "Ctrl+F12"},
      {0x8b00, "Alt+F11"},  {0x8c00, "Alt+F12"},
  };
  for (const auto& named : kNames) {
    if (named.code == code) return named.name;
  }
  const struct {
    std::uint16_t first;
    const char* prefix;
  } functionKeys[] = {{0x3b00, "F"}, {0x5400, "Shift+F"}, {0x5e00, "Ctrl+F"}, {0x6800, "Alt+F"}};
  for (const auto& group : functionKeys) {
    if (code >= group.first && code < group.first + 0x0a00 && (code & 0xff) == 0) {
      return group.prefix + std::to_string(((code - group.first) >> 8) + 1);
    }
  }
  if (key > 32 && key < 256) return std::string("character ") + static_cast<char>(key);
  if (key > 0 && key < 32) return "Ctrl+" + std::string(1, static_cast<char>('A' + key - 1));
  if ((code & 0xff) == 0) return "scan code " + Hex(static_cast<std::int16_t>(code >> 8)).substr(2);
  if (key < 0) return "click";
  return "";
}

}  // namespace

int main() {
  duv::TerminalConsole console;
  if (!console.Open()) {
    std::fprintf(stderr, "duvkeys: this needs a terminal (/dev/tty could not be opened)\n");
    return 1;
  }
  const bool streaming = ::isatty(STDOUT_FILENO) == 0;
  duv::Keyboard keyboard(console);
  console.SetAttribute(0x0f);
  console.SetCursorPosition(1, 1);
  console.Write("duvkeys: press keys to see their codes; Esc twice in a row ends.");
  console.SetAttribute(0x07);
  console.SetCursorShape(0);

  std::vector<std::string> codes;
  const std::int16_t firstRow = 3;
  std::int16_t row = firstRow;
  std::int16_t previous = 0;
  while (true) {
    std::int16_t key = 0;
    keyboard.WaitKey(key);
    const std::string hex = Hex(key);
    codes.push_back(hex);
    if (streaming) {
      std::printf("%s\n", hex.c_str());
      std::fflush(stdout);
    }
    if (row > console.Rows()) {
      console.ScrollRectangle(firstRow, 1, console.Rows(), console.Columns(), 1);
      row = console.Rows();
    }
    std::string line = hex + "  " + KeyName(key);
    line.resize(static_cast<std::size_t>(console.Columns()), ' ');
    console.SetCursorPosition(row++, 1);
    console.Write(line.substr(0, static_cast<std::size_t>(console.Columns() - 1)));
    if (key == 27 && previous == 27) break;
    previous = key;
  }
  console.Close();
  if (!streaming) {
    for (const auto& code : codes) std::printf("%s\n", code.c_str());
  }
  return 0;
}
