#pragma once
// A console in memory: the cell grid, a scripted queue of input events and a record of beeps
// and mouse switching. Every console behaviour of the system is tested on it.

#include <deque>
#include <functional>
#include <string>

#include "platform/GridConsole.h"

namespace duv {

class VirtualConsole : public GridConsole {
 public:
  VirtualConsole(std::int16_t rows = 25, std::int16_t columns = 80) : GridConsole(rows, columns) {}

  // The script: events are read in order; an action runs when the reader reaches it, so a
  // test can look at the screen in the middle of a pop-up.
  void Queue(const ConsoleEvent& event) { script_.push_back({event, {}}); }
  void QueueKey(std::int16_t code, std::uint16_t modifiers = 0);
  void QueueText(std::string_view cp850);
  void QueueAction(std::function<void()> action) { script_.push_back({{}, std::move(action)}); }
  bool ScriptEmpty() const { return script_.empty(); }
  // Set when a reader kept waiting after the script was used up; the console then gives Esc
  // so that a test ends instead of hanging.
  bool RanDry() const { return ranDry_; }

  // What a row shows, as code page 850 bytes (1-based; `count` 0 is to the end of the row).
  std::string RowText(std::int16_t row, std::int16_t column = 1, std::int16_t count = 0) const;
  std::uint8_t AttributeAt(std::int16_t row, std::int16_t column) const {
    return ReadCell(row, column).attribute;
  }
  void Fill(unsigned char character, std::uint8_t attribute);

  int Beeps() const { return beeps_; }
  int Refreshes() const { return refreshes_; }
  void Refresh() override { ++refreshes_; }
  bool MouseReporting() const { return mouseReporting_; }
  int MouseSwitches() const { return mouseSwitches_; }
  void SetMouseButtons(std::int16_t buttons) { mouseButtons_ = buttons; }
  int Suspensions() const { return suspensions_; }
  int EventsRead() const { return eventsRead_; }

  void Beep() override { ++beeps_; }
  std::optional<ConsoleEvent> ReadEvent() override;
  void WaitForInput(int milliseconds) override;
  void SetMouseReporting(bool on) override;
  std::int16_t MouseButtons() const override { return mouseButtons_; }
  void Suspend() override { ++suspensions_; }

 private:
  struct Step {
    ConsoleEvent event;
    std::function<void()> action;
  };
  void RunActions();

  std::deque<Step> script_;
  int idleWaits_ = 0;
  bool ranDry_ = false;
  int beeps_ = 0;
  int refreshes_ = 0;
  bool mouseReporting_ = false;
  int mouseSwitches_ = 0;
  std::int16_t mouseButtons_ = 2;
  int suspensions_ = 0;
  int eventsRead_ = 0;
};

}  // namespace duv
