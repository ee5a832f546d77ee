#pragma once
// The real terminal as the system's console: the cell grid drawn by the writer, input read
// from the tty and decoded, mouse reporting (button motion, SGR coordinates) switched on only
// while the program waits for input, and the terminal handed over to other programs.

#include <chrono>
#include <deque>
#include <memory>
#include <string>

#include "platform/GridConsole.h"
#include "platform/InputDecoder.h"
#include "platform/TerminalCapabilities.h"
#include "platform/TerminalWriter.h"
#include "platform/Tty.h"

namespace duv {

class TerminalConsole : public GridConsole {
 public:
  // TERM is taken from the process environment (the session's TERM is the suite's own);
  // ESCDELAY, in milliseconds, overrides the Esc delay.
  TerminalConsole();
  ~TerminalConsole() override;

  // False when there is no terminal to open.
  bool Open();
  void Close();

  void Beep() override { pendingOutput_ += "\a"; }
  std::optional<ConsoleEvent> ReadEvent() override;
  void WaitForInput(int milliseconds) override;
  void Refresh() override;
  void SetMouseReporting(bool on) override;
  std::int16_t MouseButtons() const override { return 2; }
  void Suspend() override;
  void Resume() override;

  // Writes what changed since the last flush, in one write.
  void Flush();
  // Text for the terminal itself (the OSC 52 clipboard), sent with the next flush.
  void SendToTerminal(const std::string& bytes) { pendingOutput_ += bytes; }

 private:
  std::int64_t NowMs() const;
  void Pump(int timeoutMs);
  void CheckSignals();
  std::string EnterSequence() const;
  std::string LeaveSequence() const;

  TerminalCapabilities caps_;
  std::unique_ptr<InputDecoder> decoder_;
  std::unique_ptr<TerminalWriter> writer_;
  Tty tty_;
  std::string pendingOutput_;
  bool mouseOn_ = false;
  bool kittyOn_ = false;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace duv
