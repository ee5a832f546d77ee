#pragma once
// Help topics. Under the "WIN" system mode a topic is the page AJUDA\<topic>.HTM, handed to a
// page opener; otherwise the text file AJUDA\<topic>.HLP, shown in a framed window that
// scrolls through its fixed-length lines with simple highlighting.

#include <string>

#include "console/Keyboard.h"
#include "console/Screen.h"
#include "console/WindowStack.h"
#include "platform/Process.h"
#include "session/Session.h"

namespace duv {

class Help {
 public:
  Help(Screen& screen, WindowStack& windows, Keyboard& keyboard, const SessionSettings& settings,
       ProgramLauncher& launcher)
      : screen_(screen), windows_(windows), keyboard_(keyboard), settings_(settings), launcher_(launcher) {}

  void ShowHelp(const std::string& topic);

  // The program that opens a page: DAZAVE beside the suite's programs when it is there, else
  // the desktop's opener; empty when there is none.
  std::string PageOpener() const;

 private:
  class Viewer;
  void OpenPage(const std::string& topic);

  Screen& screen_;
  WindowStack& windows_;
  Keyboard& keyboard_;
  const SessionSettings& settings_;
  ProgramLauncher& launcher_;
};

}  // namespace duv
