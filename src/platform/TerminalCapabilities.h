#pragma once
// What the terminal description (terminfo) says about the terminal: its colours, how to enter
// and leave the alternate screen, and the strings its keys send. When TERM is unknown the
// built-in xterm values stand in.

#include <string>
#include <utility>
#include <vector>

#include "platform/ConsoleDevice.h"
#include "platform/KeyTables.h"

namespace duv {

struct TerminalCapabilities {
  TerminalFamily family = TerminalFamily::kXterm;
  bool linuxConsole = false;
  int colours = 16;
  std::string enterAlternateScreen = "\x1b[?1049h";
  std::string leaveAlternateScreen = "\x1b[?1049l";
  // The unmodified key strings of the description, for the input decoder.
  std::vector<std::pair<std::string, ConsoleEvent>> keys;
};

TerminalFamily FamilyOfTerm(const std::string& term);
TerminalCapabilities LoadTerminalCapabilities(const std::string& term, int fd);

}  // namespace duv
