#include "platform/VirtualConsole.h"

namespace duv {

namespace {
// Waits with nothing left to read before the console gives up on the script.
constexpr int kIdleWaitsBeforeDry = 20000;
}  // namespace

void VirtualConsole::QueueKey(std::int16_t code, std::uint16_t modifiers) {
  const auto value = static_cast<std::uint16_t>(code);
  if ((value & 0xff) != 0) {
    Queue(ConsoleEvent::Character(static_cast<unsigned char>(value & 0xff), modifiers));
  } else {
    Queue(ConsoleEvent::Extended(static_cast<unsigned char>(value >> 8), modifiers));
  }
}

void VirtualConsole::QueueText(std::string_view cp850) {
  for (const char c : cp850) Queue(ConsoleEvent::Character(static_cast<unsigned char>(c)));
}

std::string VirtualConsole::RowText(std::int16_t row, std::int16_t column, std::int16_t count) const {
  std::string text;
  const std::int16_t last = count == 0 ? Columns() : static_cast<std::int16_t>(column + count - 1);
  for (std::int16_t c = column; c <= last && c <= Columns(); ++c) {
    text.push_back(static_cast<char>(ReadCell(row, c).character));
  }
  return text;
}

void VirtualConsole::Fill(unsigned char character, std::uint8_t attribute) {
  for (std::int16_t r = 1; r <= Rows(); ++r) {
    for (std::int16_t c = 1; c <= Columns(); ++c) WriteCell(r, c, {character, attribute});
  }
}

void VirtualConsole::RunActions() {
  while (!script_.empty() && script_.front().action) {
    auto action = std::move(script_.front().action);
    script_.pop_front();
    action();
  }
}

std::optional<ConsoleEvent> VirtualConsole::ReadEvent() {
  RunActions();
  if (script_.empty()) {
    if (!ranDry_ && ++idleWaits_ > kIdleWaitsBeforeDry) ranDry_ = true;
    if (!ranDry_) return std::nullopt;
    return ConsoleEvent::Character(27);
  }
  ConsoleEvent event = script_.front().event;
  script_.pop_front();
  ++eventsRead_;
  idleWaits_ = 0;
  return event;
}

void VirtualConsole::WaitForInput(int) {
  RunActions();
  if (script_.empty() && ++idleWaits_ > kIdleWaitsBeforeDry) ranDry_ = true;
}

void VirtualConsole::SetMouseReporting(bool on) {
  if (on != mouseReporting_) ++mouseSwitches_;
  mouseReporting_ = on;
}

}  // namespace duv
