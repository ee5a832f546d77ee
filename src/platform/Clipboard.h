#pragma once
// Clipboard text for the line editor, in code page 850. Text copied in the program is pasted
// back within it exactly; the desktop clipboard receives a UTF-8 copy as well.

#include <functional>
#include <string>

namespace duv {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& cp850) = 0;
};

class MemoryClipboard : public Clipboard {
 public:
  std::string Text() const override { return text_; }
  void SetText(const std::string& cp850) override { text_ = cp850; }

 private:
  std::string text_;
};

// Keeps the text for the program's own pastes and hands a copy to the desktop: wl-copy under
// Wayland, xclip or xsel under X, and otherwise to the terminal (OSC 52) through the sink the
// terminal console sets.
class DesktopClipboard : public Clipboard {
 public:
  using TerminalSink = std::function<void(const std::string& utf8)>;
  void SetTerminalSink(TerminalSink sink) { terminalSink_ = std::move(sink); }
  std::string Text() const override { return text_; }
  void SetText(const std::string& cp850) override;

 private:
  std::string text_;
  TerminalSink terminalSink_;
};

// The OSC 52 sequence that puts the text on the terminal's clipboard.
std::string Osc52Sequence(const std::string& utf8);

}  // namespace duv
