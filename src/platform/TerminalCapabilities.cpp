#include "platform/TerminalCapabilities.h"

#include <curses.h>
#include <term.h>

namespace duv {

TerminalFamily FamilyOfTerm(const std::string& term) {
  if (term.rfind("linux", 0) == 0) return TerminalFamily::kLinux;
  if (term.rfind("rxvt", 0) == 0) return TerminalFamily::kRxvt;
  return TerminalFamily::kXterm;
}

namespace {

std::string StringCapability(const char* name) {
  char* value = tigetstr(const_cast<char*>(name));
  if (value == nullptr || value == reinterpret_cast<char*>(-1)) return {};
  return value;
}

// The key capabilities the system has keys for, with the scan codes they stand for.
struct KeyCapability {
  const char* name;
  unsigned char scanCode;
  std::uint16_t modifiers;
};
constexpr KeyCapability kKeyCapabilities[] = {
    {"kf1", 0x3b, 0},  {"kf2", 0x3c, 0},  {"kf3", 0x3d, 0},  {"kf4", 0x3e, 0},
    {"kf5", 0x3f, 0},  {"kf6", 0x40, 0},  {"kf7", 0x41, 0},  {"kf8", 0x42, 0},
    {"kf9", 0x43, 0},  {"kf10", 0x44, 0}, {"kf11", 0x85, 0}, {"kf12", 0x86, 0},
    {"khome", 0x47, 0}, {"kend", 0x4f, 0}, {"kich1", 0x52, 0}, {"kdch1", 0x53, 0},
    {"kpp", 0x49, 0},  {"knp", 0x51, 0},  {"kcuu1", 0x48, 0}, {"kcud1", 0x50, 0},
    {"kcub1", 0x4b, 0}, {"kcuf1", 0x4d, 0}, {"kcbt", 0x0f, kShift}, {"kb2", 0x4c, 0},
};

}  // namespace

TerminalCapabilities LoadTerminalCapabilities(const std::string& term, int fd) {
  TerminalCapabilities caps;
  caps.family = FamilyOfTerm(term);
  caps.linuxConsole = caps.family == TerminalFamily::kLinux;
  if (caps.linuxConsole) caps.colours = 8;
  int error = 0;
  if (term.empty() || setupterm(term.c_str(), fd, &error) != OK) return caps;

  const int colours = tigetnum(const_cast<char*>("colors"));
  if (colours > 0) caps.colours = colours;
  const std::string smcup = StringCapability("smcup");
  const std::string rmcup = StringCapability("rmcup");
  if (!smcup.empty() && !rmcup.empty()) {
    caps.enterAlternateScreen = smcup;
    caps.leaveAlternateScreen = rmcup;
  } else if (caps.linuxConsole) {
    caps.enterAlternateScreen.clear();
    caps.leaveAlternateScreen.clear();
  }
  for (const auto& key : kKeyCapabilities) {
    const std::string bytes = StringCapability(key.name);
    // Plain characters (a Backspace of 0x7F, a Tab) are read by the decoder's own rules.
    if (bytes.size() < 2 || bytes[0] != '\x1b') continue;
    caps.keys.emplace_back(bytes, ConsoleEvent::Extended(key.scanCode, key.modifiers));
  }
  del_curterm(cur_term);
  return caps;
}

}  // namespace duv
