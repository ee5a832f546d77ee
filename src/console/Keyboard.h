#pragma once
// The keyboard reader: console events become key codes of the PC convention (a character, or
// 256 x the scan code of an extended key), with Alt+keypad composition, the modifier variants
// of function and cursor keys, mouse clicks, and the two hot-key pop-ups whose result comes
// back as typed keys.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/ConsoleDevice.h"

namespace duv {

namespace keys {
inline constexpr std::int16_t kCtrlC = 3;
inline constexpr std::int16_t kBackspace = 8;
inline constexpr std::int16_t kTab = 9;
inline constexpr std::int16_t kEnter = 13;
inline constexpr std::int16_t kCtrlV = 22;
inline constexpr std::int16_t kCtrlY = 25;
inline constexpr std::int16_t kEsc = 27;
inline constexpr std::int16_t kShiftTab = 0x0f00;
inline constexpr std::int16_t kAltE = 0x1200;
inline constexpr std::int16_t kAltF = 0x2100;
inline constexpr std::int16_t kAltX = 0x2d00;
inline constexpr std::int16_t kAltC = 0x2e00;
inline constexpr std::int16_t kF1 = 0x3b00;
inline constexpr std::int16_t kF4 = 0x3e00;
inline constexpr std::int16_t kF10 = 0x4400;
inline constexpr std::int16_t kHome = 0x4700;
inline constexpr std::int16_t kUp = 0x4800;
inline constexpr std::int16_t kPgUp = 0x4900;
inline constexpr std::int16_t kLeft = 0x4b00;
inline constexpr std::int16_t kKeypad5 = 0x4c00;
inline constexpr std::int16_t kRight = 0x4d00;
inline constexpr std::int16_t kEnd = 0x4f00;
inline constexpr std::int16_t kDown = 0x5000;
inline constexpr std::int16_t kPgDn = 0x5100;
inline constexpr std::int16_t kInsert = 0x5200;
inline constexpr std::int16_t kDelete = 0x5300;
inline constexpr std::int16_t kCtrlF4 = 0x6100;
inline constexpr std::int16_t kAltF4 = 0x6b00;
inline constexpr std::int16_t kCtrlLeft = 0x7300;
inline constexpr std::int16_t kCtrlRight = 0x7400;
inline constexpr std::int16_t kCtrlHome = 0x7700;
inline constexpr std::int16_t kF11 = static_cast<std::int16_t>(0x8500);
inline constexpr std::int16_t kF12 = static_cast<std::int16_t>(0x8600);
}  // namespace keys

class Keyboard {
 public:
  // A pop-up opened by a hot key; it returns the text to be typed after it.
  using HotKeyPopup = std::function<std::string()>;

  explicit Keyboard(ConsoleDevice& device) : device_(device) {}

  // Never waits (except inside an Alt+keypad composition): key 0 and buttons 0 when nothing
  // arrived. A key from the pending text writes only `key`.
  void ReadKeyEvent(std::int16_t& key, std::int16_t& buttons, std::int16_t& mouseRow,
                    std::int16_t& mouseColumn);
  // Waits for a key or a click; a click comes back packed as column x 256 + buttons x 64 + row.
  void WaitKey(std::int16_t& key);
  // Waits for a key read straight from the console: no pending keys, hot keys, modifier
  // variants or mouse (the help viewer reads this way).
  std::int16_t WaitRawKey();
  // Drops the keys typed ahead: pending text and every event the console holds.
  void DiscardWaitingKeys();

  void SetCalculator(HotKeyPopup popup) { calculator_ = std::move(popup); }
  void SetCalendar(HotKeyPopup popup) { calendar_ = std::move(popup); }
  bool CalculatorOpen() const { return calculatorOpen_; }
  bool CalendarOpen() const { return calendarOpen_; }
  const std::string& PendingKeys() const { return pendingKeys_; }
  std::int16_t MouseState() const { return mouseState_; }
  ConsoleDevice& Device() { return device_; }

 private:
  std::optional<ConsoleEvent> Read();
  std::optional<ConsoleEvent> ComposeAltKeypad(std::optional<ConsoleEvent> event);
  void RunHotKey(bool& open, const HotKeyPopup& popup);

  ConsoleDevice& device_;
  std::string pendingKeys_;
  std::int16_t mouseState_ = 0;
  bool calculatorOpen_ = false;
  bool calendarOpen_ = false;
  HotKeyPopup calculator_;
  HotKeyPopup calendar_;
  std::uint16_t lastModifiers_ = 0;
  std::int16_t lastMouseRow_ = 0;
  std::int16_t lastMouseColumn_ = 0;
};

// The key code with the modifier variants of the function and cursor keys applied.
std::int16_t ApplyModifierVariant(std::int16_t key, std::uint16_t modifiers);

}  // namespace duv
