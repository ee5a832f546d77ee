#pragma once
// The screen output layer: colour classes with their save stack, cursor placement relative to
// the innermost pop-up window, the sizes of the console and of that window, scrolling and the
// cursor shape. Text is written at the cursor in the current colour.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ConsoleDevice.h"
#include "session/Session.h"

namespace duv {

// The innermost pushed window: absolute coordinates of its frame; depth 0 when none is open.
struct CurrentWindow {
  std::int16_t depth = 0;
  std::int16_t top = 0;
  std::int16_t left = 0;
  std::int16_t bottom = 0;
  std::int16_t right = 0;
  friend bool operator==(const CurrentWindow&, const CurrentWindow&) = default;
};

class Screen {
 public:
  Screen(ConsoleDevice& device, const std::array<ColourPair, 5>& colourTable)
      : device_(device), colourTable_(colourTable) {}

  // Codes: "+" saves the class in force, "-" takes back the last saved one (class 0 when none
  // is saved), else "U" is class 4, "R" and "N" 3, "R" 2, "N" 1, anything else 0. A blank code
  // does nothing.
  void SetColourClass(std::string_view code);
  void PlaceCursor(std::int16_t row, std::int16_t column);
  std::int16_t ScreenColumns() const { return device_.Columns(); }
  std::int16_t ScreenRows() const { return device_.Rows(); }
  std::int16_t FirstRow() const { return window_.depth > 0 ? window_.top + 1 : 1; }
  std::int16_t FirstColumn() const { return window_.depth > 0 ? window_.left + 1 : 1; }
  std::int16_t LastColumn() const {
    return window_.depth > 0 ? static_cast<std::int16_t>(window_.right - 1) : ScreenColumns();
  }
  // 0-based absolute rectangle; lines > 0 scrolls up, otherwise down by -lines (0 by one).
  void ScrollRegion(std::int16_t top, std::int16_t left, std::int16_t bottom, std::int16_t right,
                    std::int16_t lines);
  void SetCursorShape(std::int16_t size) { device_.SetCursorShape(size); }
  void Write(std::string_view text) { device_.Write(text); }

  std::int16_t CurrentClass() const { return currentClass_; }
  const std::string& ClassStack() const { return classStack_; }
  // The window stack keeps the current window here, where cursor placement reads it.
  const CurrentWindow& Window() const { return window_; }
  void SetWindow(const CurrentWindow& window) { window_ = window; }
  ConsoleDevice& Device() { return device_; }

 private:
  ConsoleDevice& device_;
  const std::array<ColourPair, 5>& colourTable_;
  std::int16_t currentClass_ = 0;
  std::string classStack_;
  CurrentWindow window_;
};

}  // namespace duv
