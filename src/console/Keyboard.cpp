#include "console/Keyboard.h"

namespace duv {

namespace {

// How long the key wait sleeps between polls of the console.
constexpr int kPollMilliseconds = 20;

// The keypad keys of an Alt+keypad composition and the digit each stands for.
int KeypadDigit(std::int16_t code) {
  switch (code) {
    case keys::kInsert: return 0;
    case keys::kEnd: return 1;
    case keys::kDown: return 2;
    case keys::kPgDn: return 3;
    case keys::kLeft: return 4;
    case keys::kKeypad5: return 5;
    case keys::kRight: return 6;
    case keys::kHome: return 7;
    case keys::kUp: return 8;
    case keys::kPgUp: return 9;
    default: return -1;
  }
}

bool IsFunctionKey(std::int16_t key) { return key >= keys::kF1 && key <= keys::kF10 && (key & 0xff) == 0; }
bool IsF11OrF12(std::int16_t key) { return key == keys::kF11 || key == keys::kF12; }

}  // namespace

std::int16_t ApplyModifierVariant(std::int16_t key, std::uint16_t modifiers) {
  const auto plus = [key](int offset) { return static_cast<std::int16_t>(static_cast<std::uint16_t>(key) + offset); };
  if ((modifiers & (kRightAlt | kLeftAlt)) != 0) {
    if (IsFunctionKey(key)) return plus(0x2d00);
    if (IsF11OrF12(key)) return plus(0x600);
  } else if ((modifiers & (kRightCtrl | kLeftCtrl)) != 0) {
    if (IsFunctionKey(key)) return plus(0x2300);
    if (IsF11OrF12(key)) return plus(0x400);
    if (key == keys::kHome) return keys::kCtrlHome;
    if (key == keys::kRight) return keys::kCtrlRight;
    if (key == keys::kLeft) return keys::kCtrlLeft;
  } else if ((modifiers & kShift) != 0) {
    if (IsFunctionKey(key)) return plus(0x1900);
    if (IsF11OrF12(key)) return plus(0x200);
  }
  return key;
}

std::optional<ConsoleEvent> Keyboard::Read() {
  auto event = device_.ReadEvent();
  if (event) {
    lastModifiers_ = event->modifiers;
    if (event->IsMouse()) {
      lastMouseRow_ = event->row;
      lastMouseColumn_ = event->column;
    }
  }
  return event;
}

// While left Alt is held, keypad keys collect digits; the event that ends the run is replaced
// by the character of the digits' value. Terminals deliver these only where they report raw
// key events; elsewhere the terminal composes the character itself.
std::optional<ConsoleEvent> Keyboard::ComposeAltKeypad(std::optional<ConsoleEvent> event) {
  if (!event) return event;
  std::string digits;
  while ((lastModifiers_ & kLeftAlt) != 0) {
    if (event) {
      if (event->IsMouse()) break;
      const int digit = KeypadDigit(event->KeyCode());
      if (digit >= 0) {
        digits.push_back(static_cast<char>('0' + digit));
      } else if (event->KeyCode() != 0) {
        break;
      }
    }
    event = Read();
    if (!event) device_.WaitForInput(kPollMilliseconds);
  }
  if (digits.empty()) return event;
  int value = 0;
  for (const char d : digits) value = (value * 10 + (d - '0')) % 256;
  return ConsoleEvent::Character(static_cast<unsigned char>(value));
}

void Keyboard::ReadKeyEvent(std::int16_t& key, std::int16_t& buttons, std::int16_t& mouseRow,
                            std::int16_t& mouseColumn) {
  if (!pendingKeys_.empty()) {
    key = static_cast<unsigned char>(pendingKeys_.front());
    pendingKeys_.erase(0, 1);
    return;
  }
  if (mouseState_ == 0) {
    mouseState_ = device_.MouseButtons() == 0 ? 3 : 2;
  }
  if (mouseState_ == 2) {
    device_.SetMouseReporting(true);
    mouseState_ = 1;
  }
  key = 0;
  buttons = 0;
  mouseRow = 0;
  mouseColumn = 0;
  const auto event = ComposeAltKeypad(Read());

  if (event && !event->IsMouse()) {
    key = event->KeyCode();
    if (key == keys::kAltE) key = 213;
    key = ApplyModifierVariant(key, event->modifiers);
  }
  if (mouseState_ == 1) {
    if (event && event->IsMouse() && event->mouseKind == kMouseReleased) buttons = event->button;
    mouseRow = lastMouseRow_;
    mouseColumn = lastMouseColumn_;
  }
  if (key == keys::kAltX && !calculatorOpen_) {
    RunHotKey(calculatorOpen_, calculator_);
  } else if (key == keys::kAltC && !calendarOpen_) {
    RunHotKey(calendarOpen_, calendar_);
  }
  if (mouseState_ == 1 && (key > 0 || buttons > 0)) {
    device_.SetMouseReporting(false);
    mouseState_ = 2;
  }
}

void Keyboard::RunHotKey(bool& open, const HotKeyPopup& popup) {
  if (!popup) return;
  open = true;
  pendingKeys_ = popup();
  open = false;
}

void Keyboard::WaitKey(std::int16_t& key) {
  std::int16_t buttons = 0, row = 0, column = 0;
  while (true) {
    ReadKeyEvent(key, buttons, row, column);
    if (key != 0 || buttons != 0) break;
    device_.WaitForInput(kPollMilliseconds);
  }
  if (buttons != 0) {
    key = static_cast<std::int16_t>(static_cast<std::uint16_t>(column * 256 + buttons * 64 + row));
  }
}

std::int16_t Keyboard::WaitRawKey() {
  while (true) {
    const auto event = Read();
    if (event && !event->IsMouse() && event->KeyCode() != 0) return event->KeyCode();
    if (!event) device_.WaitForInput(kPollMilliseconds);
  }
}

void Keyboard::DiscardWaitingKeys() {
  // Bounded, so that a console that never runs out of events cannot hold the program here.
  constexpr int kMostDiscarded = 1000;
  pendingKeys_.clear();
  for (int i = 0; i < kMostDiscarded && device_.ReadEvent(); ++i) {
  }
}

}  // namespace duv
