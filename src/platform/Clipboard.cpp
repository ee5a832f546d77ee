#include "platform/Clipboard.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/CodePage850.h"
#include "platform/Process.h"

extern char** environ;

namespace duv {

namespace {

// Runs the tool with the text on its standard input. The clipboard tools of X stay behind to
// serve the selection; their first process ends soon, and is not waited for longer than a
// moment, so that a tool that hangs cannot freeze the editor.
bool PipeToTool(const std::string& path, std::vector<std::string> words, const std::string& text) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = ::posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[0]);
  if (spawned != 0) {
    ::close(fds[1]);
    return false;
  }
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fds[1], text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::close(fds[1]);
  for (int i = 0; i < 50; ++i) {
    int status = 0;
    const pid_t ended = ::waitpid(pid, &status, WNOHANG);
    if (ended == pid) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (ended < 0) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

std::string Osc52Sequence(const std::string& utf8) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string encoded;
  std::size_t i = 0;
  for (; i + 2 < utf8.size(); i += 3) {
    const unsigned v = (static_cast<unsigned char>(utf8[i]) << 16) |
                       (static_cast<unsigned char>(utf8[i + 1]) << 8) |
                       static_cast<unsigned char>(utf8[i + 2]);
    for (int shift = 18; shift >= 0; shift -= 6) encoded.push_back(kDigits[(v >> shift) & 63]);
  }
  if (i < utf8.size()) {
    unsigned v = static_cast<unsigned char>(utf8[i]) << 16;
    if (i + 1 < utf8.size()) v |= static_cast<unsigned char>(utf8[i + 1]) << 8;
    encoded.push_back(kDigits[(v >> 18) & 63]);
    encoded.push_back(kDigits[(v >> 12) & 63]);
    encoded.push_back(i + 1 < utf8.size() ? kDigits[(v >> 6) & 63] : '=');
    encoded.push_back('=');
  }
  return "\x1b]52;c;" + encoded + "\x07";
}

void DesktopClipboard::SetText(const std::string& cp850) {
  text_ = cp850;
  const std::string utf8 = Cp850ToUtf8(cp850);
  if (Set("WAYLAND_DISPLAY")) {
    const std::string tool = FindOnPath("wl-copy");
    if (!tool.empty() && PipeToTool(tool, {"wl-copy"}, utf8)) return;
  }
  if (Set("DISPLAY")) {
    std::string tool = FindOnPath("xclip");
    if (!tool.empty() && PipeToTool(tool, {"xclip", "-selection", "clipboard"}, utf8)) return;
    tool = FindOnPath("xsel");
    if (!tool.empty() && PipeToTool(tool, {"xsel", "--clipboard", "--input"}, utf8)) return;
  }
  if (terminalSink_) terminalSink_(Osc52Sequence(utf8));
}

}  // namespace duv
