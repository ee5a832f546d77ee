#pragma once
// The controlling terminal in raw mode: bytes in with poll, bytes out in one write, the size,
// and the terminal's own modes put back on every way out (normal exit, SIGTERM, SIGINT,
// SIGHUP, a crash signal) and around a stop (SIGTSTP, SIGCONT).

#include <string>
#include <string_view>

namespace duv {

class Tty {
 public:
  Tty() = default;
  ~Tty();
  Tty(const Tty&) = delete;
  Tty& operator=(const Tty&) = delete;

  // Opens /dev/tty and switches it to raw mode; `enter` is written now and `leave` on every
  // restore. False when there is no terminal.
  bool Open(const std::string& enter, const std::string& leave);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  int Fd() const { return fd_; }

  // Back to the terminal's own modes for another program, and raw again afterwards.
  void Suspend();
  void Resume();

  // A new `leave` sequence for the restores to come.
  void SetLeave(const std::string& leave);
  void Write(std::string_view bytes);
  // Waits up to the time for input; the bytes read, empty when none came.
  std::string Read(int timeoutMs);
  bool Size(int& rows, int& columns) const;

  // Set by the signal handlers; read and cleared by the console.
  static bool TakeResized();
  static bool TakeContinued();

 private:
  void EnterRaw();
  int fd_ = -1;
  std::string enter_;
};

}  // namespace duv
