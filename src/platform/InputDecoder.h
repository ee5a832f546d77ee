#pragma once
// The terminal input decoder: fed the bytes the terminal sends and the time they arrived, it
// gives console events (keys as characters or PC scan codes with the modifier state, mouse
// events). It knows the xterm sequences with their modifier parameter, SS3, the Linux console
// and rxvt function keys, modifyOtherKeys, the kitty keyboard protocol, SGR and X10 mouse
// reports, bracketed paste and UTF-8 text; an Esc followed within a short delay by a key is
// Alt with that key. It is pure: time is passed in, nothing is read or written.

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ConsoleDevice.h"
#include "platform/KeyTables.h"

namespace duv {

struct DecoderOptions {
  TerminalFamily family = TerminalFamily::kXterm;
  int escapeDelayMs = 25;
  // The terminal sends Latin-1 rather than UTF-8.
  bool latin1 = false;
};

class InputDecoder {
 public:
  explicit InputDecoder(DecoderOptions options = {}) : options_(options) {}

  // A sequence the terminal's description names for a key, tried before the built-in rules.
  void AddKeySequence(std::string bytes, ConsoleEvent event);

  void Feed(std::string_view bytes, std::int64_t nowMs);
  // The next complete event. A sequence still incomplete when the delay has passed is taken
  // as typed: a lone Esc is Esc.
  std::optional<ConsoleEvent> Next(std::int64_t nowMs);
  // When the bytes held back become events by themselves, if any are held back.
  std::optional<std::int64_t> Deadline() const;
  // The terminal answered the kitty keyboard protocol query.
  bool KittyKeyboardReported() const { return kittyReported_; }

 private:
  enum class Outcome { kDone, kIncomplete };
  // Decodes one unit at the start of `bytes`: its length goes to `used`, its events to ready_.
  Outcome DecodeOne(std::string_view bytes, std::size_t& used, std::uint16_t extraModifiers);
  Outcome DecodePlain(std::string_view bytes, std::size_t& used, std::uint16_t extraModifiers);
  Outcome DecodeCsi(std::string_view bytes, std::size_t& used, std::uint16_t extraModifiers);
  Outcome DecodeSs3(std::string_view bytes, std::size_t& used, std::uint16_t extraModifiers);
  void CsiKey(std::string_view parameters, char final, std::uint16_t extraModifiers);
  void KittyKey(const std::vector<std::vector<int>>& fields, const std::vector<char32_t>& text,
                std::uint16_t extraModifiers);
  void SgrMouse(std::string_view parameters, char final);
  void X10Mouse(unsigned char b, unsigned char x, unsigned char y);
  void Character(char32_t codePoint, std::uint16_t modifiers);
  void Emit(ConsoleEvent event) { ready_.push_back(event); }
  void DecodePaste();

  DecoderOptions options_;
  std::vector<std::pair<std::string, ConsoleEvent>> sequences_;
  std::string buffer_;
  std::int64_t lastFeedMs_ = 0;
  std::deque<ConsoleEvent> ready_;
  bool inPaste_ = false;
  std::string paste_;
  bool kittyReported_ = false;
  std::int16_t x10Button_ = 0;
};

}  // namespace duv
