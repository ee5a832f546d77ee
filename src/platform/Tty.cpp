#include "platform/Tty.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>

namespace duv {

namespace {

// What a signal handler needs to put the terminal back. Signal handlers cannot reach an
// object, so this one record is process-wide; it is written only while no handler runs.
struct RestoreState {
  int fd = -1;
  termios original{};
  char leave[256] = {};
  std::size_t leaveLength = 0;
};
RestoreState gRestore;
volatile sig_atomic_t gResized = 0;
volatile sig_atomic_t gContinued = 0;

void WriteAll(int fd, const char* bytes, std::size_t length) {
  while (length > 0) {
    const ssize_t n = ::write(fd, bytes, length);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    bytes += n;
    length -= static_cast<std::size_t>(n);
  }
}

// Async-signal-safe: write and tcsetattr only.
void RestoreTerminal() {
  if (gRestore.fd < 0) return;
  WriteAll(gRestore.fd, gRestore.leave, gRestore.leaveLength);
  ::tcsetattr(gRestore.fd, TCSAFLUSH, &gRestore.original);
}

void OnFatalSignal(int signal) {
  RestoreTerminal();
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

void OnStop(int) {
  RestoreTerminal();
  ::signal(SIGTSTP, SIG_DFL);
  ::raise(SIGTSTP);
}

void OnContinue(int) { gContinued = 1; }
void OnResize(int) { gResized = 1; }

constexpr int kFatalSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

void Install(int signal, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  ::sigaction(signal, &action, nullptr);
}

}  // namespace

Tty::~Tty() { Close(); }

bool Tty::Open(const std::string& enter, const std::string& leave) {
  if (fd_ >= 0) return true;
  fd_ = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd_ < 0) return false;
  termios original{};
  if (::tcgetattr(fd_, &original) != 0) {
    ::close(fd_);
    fd_ = -1;
    return false;
  }
  gRestore.original = original;
  SetLeave(leave);
  gRestore.fd = fd_;
  enter_ = enter;
  for (const int signal : kFatalSignals) Install(signal, OnFatalSignal);
  Install(SIGTSTP, OnStop);
  Install(SIGCONT, OnContinue);
  Install(SIGWINCH, OnResize);
  EnterRaw();
  return true;
}

void Tty::EnterRaw() {
  termios raw = gRestore.original;
  ::cfmakeraw(&raw);
  raw.c_cc[VMIN] = 0;
  raw.c_cc[VTIME] = 0;
  ::tcsetattr(fd_, TCSAFLUSH, &raw);
  Write(enter_);
}

void Tty::Close() {
  if (fd_ < 0) return;
  RestoreTerminal();
  for (const int signal : kFatalSignals) ::signal(signal, SIG_DFL);
  ::signal(SIGTSTP, SIG_DFL);
  ::signal(SIGCONT, SIG_DFL);
  ::signal(SIGWINCH, SIG_DFL);
  gRestore.fd = -1;
  ::close(fd_);
  fd_ = -1;
}

void Tty::SetLeave(const std::string& leave) {
  // Signals are held off while the record a handler reads is being changed.
  sigset_t all, previous;
  sigfillset(&all);
  ::sigprocmask(SIG_BLOCK, &all, &previous);
  gRestore.leaveLength = std::min(leave.size(), sizeof gRestore.leave);
  std::memcpy(gRestore.leave, leave.data(), gRestore.leaveLength);
  ::sigprocmask(SIG_SETMASK, &previous, nullptr);
}

void Tty::Suspend() {
  if (fd_ >= 0) RestoreTerminal();
}

void Tty::Resume() {
  if (fd_ < 0) return;
  // The stop handler gave SIGTSTP its default action to stop the process; take it back.
  Install(SIGTSTP, OnStop);
  EnterRaw();
}

void Tty::Write(std::string_view bytes) {
  if (fd_ >= 0) WriteAll(fd_, bytes.data(), bytes.size());
}

std::string Tty::Read(int timeoutMs) {
  std::string bytes;
  if (fd_ < 0) return bytes;
  pollfd request{fd_, POLLIN, 0};
  if (::poll(&request, 1, timeoutMs) <= 0 || (request.revents & POLLIN) == 0) return bytes;
  char buffer[4096];
  const ssize_t n = ::read(fd_, buffer, sizeof buffer);
  if (n > 0) bytes.assign(buffer, static_cast<std::size_t>(n));
  return bytes;
}

bool Tty::Size(int& rows, int& columns) const {
  winsize size{};
  if (fd_ < 0 || ::ioctl(fd_, TIOCGWINSZ, &size) != 0 || size.ws_row == 0 || size.ws_col == 0) return false;
  rows = size.ws_row;
  columns = size.ws_col;
  return true;
}

bool Tty::TakeResized() {
  const bool resized = gResized != 0;
  gResized = 0;
  return resized;
}

bool Tty::TakeContinued() {
  const bool continued = gContinued != 0;
  gContinued = 0;
  return continued;
}

}  // namespace duv
