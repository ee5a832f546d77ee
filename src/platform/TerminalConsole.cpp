#include "platform/TerminalConsole.h"

#include <cstdlib>
#include <cstring>

namespace duv {

namespace {

constexpr const char* kMouseOn = "\x1b[?1002h\x1b[?1006h";
constexpr const char* kMouseOff = "\x1b[?1002l\x1b[?1006l";
// The kitty keyboard protocol: disambiguate, report event types, all keys as escape codes,
// and the text they type; pushed only when the terminal answered the query for it.
constexpr const char* kKittyPush = "\x1b[>27u";
constexpr const char* kKittyPop = "\x1b[<u";

int EscapeDelay() {
  const char* value = std::getenv("ESCDELAY");
  if (value == nullptr || *value == '\0') return 25;
  const int delay = std::atoi(value);
  return delay >= 0 && delay <= 10000 ? delay : 25;
}

bool Latin1Locale() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') continue;
    std::string text(value);
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text.find("8859") != std::string::npos || text.find("latin") != std::string::npos;
  }
  return false;
}

}  // namespace

TerminalConsole::TerminalConsole() : GridConsole(25, 80) {}

TerminalConsole::~TerminalConsole() { Close(); }

std::string TerminalConsole::EnterSequence() const {
  // Alternate screen and bracketed paste.
  // xterm sends Alt+key as Esc and the key only with its metaSendsEscape mode, saved first
  // and restored on leaving.
  std::string enter = caps_.enterAlternateScreen + "\x1b[?2004h";
  if (!caps_.linuxConsole) enter += "\x1b[?1036s\x1b[?1036h";
  return enter;
}

std::string TerminalConsole::LeaveSequence() const {
  std::string leave = kMouseOff;
  if (kittyOn_) leave += kKittyPop;
  leave += "\x1b[?2004l\x1b[0m";
  if (!caps_.linuxConsole) leave += "\x1b[0 q\x1b[?1036r";
  leave += "\x1b[?25h";
  leave += caps_.leaveAlternateScreen;
  return leave;
}

bool TerminalConsole::Open() {
  const char* term = std::getenv("TERM");
  caps_ = LoadTerminalCapabilities(term != nullptr ? term : "", -1);
  DecoderOptions options;
  options.family = caps_.family;
  options.escapeDelayMs = EscapeDelay();
  options.latin1 = Latin1Locale();
  decoder_ = std::make_unique<InputDecoder>(options);
  for (const auto& [bytes, event] : caps_.keys) decoder_->AddKeySequence(bytes, event);
  TerminalProfile profile;
  profile.colours = caps_.colours >= 16 ? 16 : 8;
  profile.cursorShapes = !caps_.linuxConsole;
  writer_ = std::make_unique<TerminalWriter>(profile);

  if (!tty_.Open(EnterSequence(), LeaveSequence())) return false;
  int rows = 0, columns = 0;
  if (tty_.Size(rows, columns)) Resize(static_cast<std::int16_t>(std::min(rows, 99)),
                                       static_cast<std::int16_t>(std::min(columns, 99)));
  // The kitty protocol query, then a device-attributes request that every terminal answers,
  // so that a terminal that does not know the query is not waited for.
  if (!caps_.linuxConsole) pendingOutput_ += "\x1b[?u\x1b[c";
  Flush();
  return true;
}

void TerminalConsole::Close() {
  if (!tty_.IsOpen()) return;
  Flush();
  tty_.Close();
}

std::int64_t TerminalConsole::NowMs() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count();
}

void TerminalConsole::Flush() {
  if (!tty_.IsOpen()) return;
  std::string out = pendingOutput_;
  pendingOutput_.clear();
  out += writer_->Render(Cells(), Rows(), Columns(), CursorRow(), CursorColumn(), CursorShape());
  if (!out.empty()) tty_.Write(out);
}

void TerminalConsole::CheckSignals() {
  if (Tty::TakeContinued()) {
    // Back from a stop: the terminal was restored by the stop handler.
    tty_.Resume();
    if (mouseOn_) pendingOutput_ += kMouseOn;
    if (kittyOn_) pendingOutput_ += kKittyPush;
    writer_->Invalidate();
  }
  if (Tty::TakeResized()) {
    int rows = 0, columns = 0;
    if (tty_.Size(rows, columns)) {
      Resize(static_cast<std::int16_t>(std::min(rows, 99)), static_cast<std::int16_t>(std::min(columns, 99)));
    }
    writer_->Invalidate();
  }
}

void TerminalConsole::Pump(int timeoutMs) {
  if (!tty_.IsOpen()) return;
  CheckSignals();
  Flush();
  const auto deadline = decoder_->Deadline();
  if (deadline) timeoutMs = static_cast<int>(std::max<std::int64_t>(0, std::min<std::int64_t>(timeoutMs, *deadline - NowMs())));
  const std::string bytes = tty_.Read(timeoutMs);
  if (!bytes.empty()) decoder_->Feed(bytes, NowMs());
  if (decoder_->KittyKeyboardReported() && !kittyOn_) {
    kittyOn_ = true;
    pendingOutput_ += kKittyPush;
    tty_.SetLeave(LeaveSequence());
  }
}

std::optional<ConsoleEvent> TerminalConsole::ReadEvent() {
  if (!tty_.IsOpen()) return std::nullopt;
  if (auto event = decoder_->Next(NowMs())) return event;
  Pump(0);
  return decoder_->Next(NowMs());
}

void TerminalConsole::WaitForInput(int milliseconds) {
  if (!tty_.IsOpen()) return;
  Pump(milliseconds);
}

void TerminalConsole::Refresh() {
  if (!tty_.IsOpen()) return;
  CheckSignals();
  Flush();
}

void TerminalConsole::SetMouseReporting(bool on) {
  if (on == mouseOn_) return;
  mouseOn_ = on;
  // Written at once: while the program works between two waits, clicks must not pile up.
  tty_.Write(on ? kMouseOn : kMouseOff);
}

void TerminalConsole::Suspend() {
  if (!tty_.IsOpen()) return;
  Flush();
  tty_.Suspend();
}

void TerminalConsole::Resume() {
  if (!tty_.IsOpen()) return;
  tty_.Resume();
  if (mouseOn_) pendingOutput_ += kMouseOn;
  if (kittyOn_) pendingOutput_ += kKittyPush;
  int rows = 0, columns = 0;
  if (tty_.Size(rows, columns)) {
    Resize(static_cast<std::int16_t>(std::min(rows, 99)), static_cast<std::int16_t>(std::min(columns, 99)));
  }
  writer_->Invalidate();
  Flush();
}

}  // namespace duv
