#pragma once
// The window stack: pop-ups save the rectangle they draw over in the window file, and put it
// back, cells, colours and cursor, when they close.

#include <string>

#include "console/Screen.h"

namespace duv {

class WindowStack {
 public:
  // The window file is `workDir` + "WinPush.tmp".
  WindowStack(Screen& screen, const std::string& workDir);

  void PushWindow(std::int16_t top, std::int16_t left, std::int16_t bottom, std::int16_t right);
  void PopWindow();
  // Style 0 blanks, 1 single lines, 2 double lines, anything else character 0.
  void DrawFrame(std::int16_t style);
  // Shows the wrapped text in a single-line box centred on `centreRow`, left pushed on screen;
  // the caller pops it. `text` becomes its wrapped form.
  void ShowMessage(std::int16_t centreRow, std::string& text);

  std::int16_t Depth() const { return screen_.Window().depth; }
  const std::string& WindowFilePath() const { return windowFile_; }

 private:
  Screen& screen_;
  std::string windowFile_;
};

}  // namespace duv
