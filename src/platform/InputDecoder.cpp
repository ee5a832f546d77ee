#include "platform/InputDecoder.h"

#include <algorithm>
#include <charconv>

#include "platform/CodePage850.h"

namespace duv {

namespace {

constexpr char kEsc = '\x1b';
constexpr std::string_view kPasteEnd = "\x1b[201~";

// Parameters "a:b;c" as fields of sub-values; an empty value is -1.
std::vector<std::vector<int>> SplitParameters(std::string_view text) {
  std::vector<std::vector<int>> fields(1);
  int value = -1;
  for (const char c : text) {
    if (c >= '0' && c <= '9') {
      value = std::min(value < 0 ? 0 : value, 100000000) * 10 + (c - '0');
    } else if (c == ':' || c == ';') {
      fields.back().push_back(value);
      value = -1;
      if (c == ';') fields.emplace_back();
    }
  }
  fields.back().push_back(value);
  return fields;
}

int FieldValue(const std::vector<std::vector<int>>& fields, std::size_t field, std::size_t sub,
               int fallback) {
  if (field >= fields.size() || sub >= fields[field].size() || fields[field][sub] < 0) return fallback;
  return fields[field][sub];
}

// The xterm modifier parameter: 1 + (1 Shift, 2 Alt, 4 Ctrl, 8 Meta; kitty adds 32 Meta).
// A terminal does not say which Alt or Ctrl was held; they are reported as right Alt and left
// Ctrl, so that Alt with the gray arrows never starts an Alt+keypad composition.
std::uint16_t ModifierState(int parameter) {
  if (parameter < 2) return 0;
  const int bits = parameter - 1;
  std::uint16_t state = 0;
  if (bits & 1) state |= kShift;
  if (bits & (2 | 32)) state |= kRightAlt;
  if (bits & 4) state |= kLeftCtrl;
  return state;
}

// One UTF-8 character at the start of the bytes: its length, 0 while incomplete; an invalid
// byte is one character of its own that no key stands for.
std::size_t DecodeUtf8(std::string_view bytes, char32_t& codePoint) {
  std::size_t length = 0;
  switch (DecodeUtf8Character(bytes, length, codePoint)) {
    case Utf8Result::kComplete: return length;
    case Utf8Result::kIncomplete: return 0;
    case Utf8Result::kInvalid: break;
  }
  codePoint = 0xfffd;
  return 1;
}

// kitty's functional keys: the keypad and the modifier keys.
constexpr int kKittyKeypad0 = 57399;
constexpr int kKittyKeypadLast = 57427;
constexpr int kKittyFirstModifier = 57441;
constexpr int kKittyLastModifier = 57452;

}  // namespace

void InputDecoder::AddKeySequence(std::string bytes, ConsoleEvent event) {
  if (bytes.empty()) return;
  sequences_.emplace_back(std::move(bytes), event);
}

void InputDecoder::Feed(std::string_view bytes, std::int64_t nowMs) {
  buffer_.append(bytes);
  lastFeedMs_ = nowMs;
}

std::optional<std::int64_t> InputDecoder::Deadline() const {
  if (buffer_.empty() || inPaste_) return std::nullopt;
  return lastFeedMs_ + options_.escapeDelayMs;
}

std::optional<ConsoleEvent> InputDecoder::Next(std::int64_t nowMs) {
  while (ready_.empty() && !buffer_.empty()) {
    if (inPaste_) {
      DecodePaste();
      if (inPaste_) break;
      continue;
    }
    std::size_t used = 0;
    if (DecodeOne(buffer_, used, 0) == Outcome::kDone) {
      buffer_.erase(0, std::max<std::size_t>(used, 1));
      continue;
    }
    if (nowMs - lastFeedMs_ < options_.escapeDelayMs) break;
    // The delay has passed: what is held back was typed, not sent as one sequence. Esc and
    // one more byte is Alt with that key; otherwise the Esc is a key of its own.
    if (buffer_[0] == kEsc && buffer_.size() == 2 && buffer_[1] != kEsc) {
      DecodePlain(std::string_view(buffer_).substr(1), used, kRightAlt);
      buffer_.clear();
    } else if (buffer_[0] == kEsc) {
      Emit(ConsoleEvent::Character(27));
      buffer_.erase(0, 1);
    } else {
      buffer_.erase(0, 1);  // an unfinished UTF-8 character
    }
  }
  if (ready_.empty()) return std::nullopt;
  ConsoleEvent event = ready_.front();
  ready_.pop_front();
  return event;
}

InputDecoder::Outcome InputDecoder::DecodeOne(std::string_view bytes, std::size_t& used,
                                              std::uint16_t extraModifiers) {
  for (const auto& [sequence, event] : sequences_) {
    if (bytes.substr(0, sequence.size()) == sequence) {
      ConsoleEvent withModifiers = event;
      withModifiers.modifiers |= extraModifiers;
      Emit(withModifiers);
      used = sequence.size();
      return Outcome::kDone;
    }
  }
  if (bytes[0] != kEsc) return DecodePlain(bytes, used, extraModifiers);
  if (bytes.size() < 2) return Outcome::kIncomplete;
  if (bytes[1] == '[') return DecodeCsi(bytes, used, extraModifiers);
  if (bytes[1] == 'O') return DecodeSs3(bytes, used, extraModifiers);
  if (extraModifiers != 0) {
    // Esc Esc Esc: the first two are an Alt+Esc pair no more than the Esc is.
    Emit(ConsoleEvent::Character(27, extraModifiers));
    used = 1;
    return Outcome::kDone;
  }
  // Esc before a key or another sequence: that key with Alt (rxvt sends Alt+arrows so).
  const Outcome outcome = DecodeOne(bytes.substr(1), used, kRightAlt);
  if (outcome == Outcome::kDone) ++used;
  return outcome;
}

void InputDecoder::Character(char32_t codePoint, std::uint16_t modifiers) {
  const auto byte = CodePointToCp850(codePoint);
  if (!byte) return;  // a character code page 850 lacks gives no key
  const bool alt = (modifiers & (kRightAlt | kLeftAlt)) != 0;
  if (alt && *byte < 0x80) {
    if (const unsigned char scanCode = AltScanCode(static_cast<char>(*byte))) {
      Emit(ConsoleEvent::Extended(scanCode, modifiers));
      return;
    }
  }
  Emit(ConsoleEvent::Character(*byte, modifiers));
}

InputDecoder::Outcome InputDecoder::DecodePlain(std::string_view bytes, std::size_t& used,
                                                std::uint16_t extraModifiers) {
  const auto byte = static_cast<unsigned char>(bytes[0]);
  used = 1;
  if (byte == 0x7f || byte == 0x08) {
    Emit(ConsoleEvent::Character(8, extraModifiers));
  } else if (byte == 0) {
    // Ctrl+Space: no key of the PC convention.
  } else if (byte < 0x20) {
    Emit(ConsoleEvent::Character(byte, extraModifiers));
  } else if (byte < 0x80) {
    Character(byte, extraModifiers);
  } else if (options_.latin1) {
    Character(byte, extraModifiers);
  } else {
    char32_t codePoint = 0;
    used = DecodeUtf8(bytes, codePoint);
    if (used == 0) return Outcome::kIncomplete;
    Character(codePoint, extraModifiers);
  }
  return Outcome::kDone;
}

// SS3: ESC O [modifier digits] final. Application cursor keys, F1 to F4, the application
// keypad, and rxvt's Ctrl+arrows (a to d).
InputDecoder::Outcome InputDecoder::DecodeSs3(std::string_view bytes, std::size_t& used,
                                              std::uint16_t extraModifiers) {
  std::size_t i = 2;
  int modifier = 0;
  for (; i < bytes.size() && bytes[i] >= '0' && bytes[i] <= '9'; ++i) {
    modifier = std::min(modifier, 1000) * 10 + (bytes[i] - '0');
  }
  if (i >= bytes.size()) return Outcome::kIncomplete;
  const char final = bytes[i];
  used = i + 1;
  const std::uint16_t modifiers = static_cast<std::uint16_t>(ModifierState(modifier) | extraModifiers);
  if (const auto scanCode = LetterKey(final)) {
    Emit(ConsoleEvent::Extended(*scanCode, modifiers));
  } else if (final >= 'a' && final <= 'd') {
    static constexpr unsigned char kArrows[] = {scan::kUp, scan::kDown, scan::kRight, scan::kLeft};
    Emit(ConsoleEvent::Extended(kArrows[final - 'a'], static_cast<std::uint16_t>(modifiers | kLeftCtrl)));
  } else if (final == 'M') {
    Emit(ConsoleEvent::Character(13, modifiers));
  } else if (final >= 'j' && final <= 'y') {
    // The application keypad: * + , - . / and the digits 0 to 9.
    static constexpr char kKeypad[] = "*+,-./0123456789";
    Character(static_cast<unsigned char>(kKeypad[final - 'j']), modifiers);
  } else if (final == 'X') {
    Character('=', modifiers);
  }
  return Outcome::kDone;
}

// CSI: ESC [ parameters (0x30-0x3F) intermediates (0x20-0x2F) final (0x40-0x7E). The Linux
// console's F1 to F5 (ESC [ [ A to E), X10 mouse reports (ESC [ M b x y), rxvt's "$" suffix
// for Shift and the bracketed paste brackets are read here too.
InputDecoder::Outcome InputDecoder::DecodeCsi(std::string_view bytes, std::size_t& used,
                                              std::uint16_t extraModifiers) {
  if (bytes.size() < 3) return Outcome::kIncomplete;
  if (bytes[2] == '[') {
    if (bytes.size() < 4) return Outcome::kIncomplete;
    used = 4;
    if (bytes[3] >= 'A' && bytes[3] <= 'E') {
      Emit(ConsoleEvent::Extended(FunctionKeyScan(bytes[3] - 'A' + 1), extraModifiers));
    }
    return Outcome::kDone;
  }
  std::size_t i = 2;
  while (i < bytes.size() && bytes[i] >= 0x30 && bytes[i] <= 0x3f) ++i;
  const std::string_view parameters = bytes.substr(2, i - 2);
  if (i < bytes.size() && bytes[i] == '$' && !parameters.empty() &&
      std::all_of(parameters.begin(), parameters.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    used = i + 1;
    CsiKey(parameters, '$', extraModifiers);
    return Outcome::kDone;
  }
  while (i < bytes.size() && bytes[i] >= 0x20 && bytes[i] <= 0x2f) ++i;
  if (i >= bytes.size()) return Outcome::kIncomplete;
  const char final = bytes[i];
  used = i + 1;
  if (final < 0x40 || final > 0x7e) {
    used = i;  // not a sequence after all: drop what was read, the byte is read anew
    return Outcome::kDone;
  }
  if (final == 'M' && parameters.empty()) {
    if (bytes.size() < i + 4) return Outcome::kIncomplete;
    used = i + 4;
    X10Mouse(static_cast<unsigned char>(bytes[i + 1]), static_cast<unsigned char>(bytes[i + 2]),
             static_cast<unsigned char>(bytes[i + 3]));
    return Outcome::kDone;
  }
  if (!parameters.empty() && parameters[0] == '<') {
    if (final == 'M' || final == 'm') SgrMouse(parameters.substr(1), final);
    return Outcome::kDone;
  }
  if (!parameters.empty() && (parameters[0] == '?' || parameters[0] == '>' || parameters[0] == '=')) {
    // Replies to queries; the kitty keyboard protocol's "CSI ? flags u" says it is supported.
    if (parameters[0] == '?' && final == 'u') kittyReported_ = true;
    return Outcome::kDone;
  }
  if (final == '~' && parameters == "200") {
    inPaste_ = true;
    paste_.clear();
    return Outcome::kDone;
  }
  CsiKey(parameters, final, extraModifiers);
  return Outcome::kDone;
}

void InputDecoder::CsiKey(std::string_view parameters, char final, std::uint16_t extraModifiers) {
  const auto fields = SplitParameters(parameters);
  const int first = FieldValue(fields, 0, 0, 1);
  // The event type of the kitty protocol (1 press, 2 repeat, 3 release) follows the modifier.
  const int eventType = FieldValue(fields, 1, 1, 1);
  std::uint16_t modifiers = static_cast<std::uint16_t>(ModifierState(FieldValue(fields, 1, 0, 1)) | extraModifiers);

  if (final == 'u') {
    std::vector<char32_t> text;
    if (fields.size() > 2) {
      for (const int value : fields[2]) {
        if (value > 0) text.push_back(static_cast<char32_t>(value));
      }
    }
    KittyKey(fields, text, extraModifiers);
    return;
  }
  if (eventType == 3) return;  // a key released
  if (final == '~') {
    if (first == 27 && fields.size() >= 3) {
      // modifyOtherKeys: CSI 27 ; modifier ; code ~
      std::vector<std::vector<int>> asKitty = {{FieldValue(fields, 2, 0, 0)}, {FieldValue(fields, 1, 0, 1)}};
      KittyKey(asKitty, {}, extraModifiers);
      return;
    }
    if (first == 201) return;
    if (const auto key = TildeKey(options_.family, first)) {
      Emit(ConsoleEvent::Extended(key->scanCode, static_cast<std::uint16_t>(modifiers | key->modifiers)));
    }
    return;
  }
  // rxvt marks modified keys by the final: "$" Shift, "^" Ctrl, "@" Ctrl and Shift.
  if (final == '$' || final == '^' || final == '@') {
    if (final != '^') modifiers |= kShift;
    if (final != '$') modifiers |= kLeftCtrl;
    if (const auto key = TildeKey(options_.family, first)) {
      Emit(ConsoleEvent::Extended(key->scanCode, static_cast<std::uint16_t>(modifiers | key->modifiers)));
    }
    return;
  }
  if (final == 'Z') {
    Emit(ConsoleEvent::Extended(scan::kShiftTab, static_cast<std::uint16_t>(modifiers | kShift)));
    return;
  }
  if (final >= 'a' && final <= 'd') {
    // rxvt's Shift+arrows.
    static constexpr unsigned char kArrows[] = {scan::kUp, scan::kDown, scan::kRight, scan::kLeft};
    Emit(ConsoleEvent::Extended(kArrows[final - 'a'], static_cast<std::uint16_t>(modifiers | kShift)));
    return;
  }
  if (const auto scanCode = LetterKey(final)) {
    Emit(ConsoleEvent::Extended(*scanCode, modifiers));
  }
  // Anything else (focus reports, cursor reports) is not a key.
}

// kitty: CSI code[:shifted[:base]] ; modifiers[:event] ; text u. Codes below 57344 are
// Unicode characters; the private-use codes from 57344 on are keypad, modifier and other keys.
void InputDecoder::KittyKey(const std::vector<std::vector<int>>& fields,
                            const std::vector<char32_t>& text, std::uint16_t extraModifiers) {
  const int code = FieldValue(fields, 0, 0, 0);
  const int shiftedCode = FieldValue(fields, 0, 1, 0);
  const int eventType = FieldValue(fields, 1, 1, 1);
  const std::uint16_t modifiers =
      static_cast<std::uint16_t>(ModifierState(FieldValue(fields, 1, 0, 1)) | extraModifiers);
  const bool alt = (modifiers & kRightAlt) != 0;
  const bool ctrl = (modifiers & kLeftCtrl) != 0;
  const bool shift = (modifiers & kShift) != 0;

  if (code >= kKittyFirstModifier && code <= kKittyLastModifier) {
    // A modifier alone gives no key; its release tells that the modifier state changed,
    // which ends an Alt+keypad composition.
    if (eventType == 3) {
      ConsoleEvent change;
      const bool isAlt = code == 57443 || code == 57449;
      change.modifiers = static_cast<std::uint16_t>(modifiers & ~(isAlt ? kRightAlt | kLeftAlt : 0));
      Emit(change);
    }
    return;
  }
  if (eventType == 3) return;

  if (code >= kKittyKeypad0 && code <= kKittyKeypadLast) {
    // The keypad: with Alt its digits (and arrows) are the keys of an Alt+keypad composition,
    // as the PC keypad gives them, held with left Alt.
    static constexpr unsigned char kDigitScan[10] = {scan::kInsert, scan::kEnd,  scan::kDown,
                                                     scan::kPgDn,   scan::kLeft, scan::kKeypad5,
                                                     scan::kRight,  scan::kHome, scan::kUp,
                                                     scan::kPgUp};
    static constexpr char kOthers[] = "./*-+\r=";  // 57409 to 57415
    static constexpr unsigned char kNavigation[] = {scan::kLeft, scan::kRight, scan::kUp,
                                                    scan::kDown, scan::kPgUp,  scan::kPgDn,
                                                    scan::kHome, scan::kEnd,   scan::kInsert,
                                                    scan::kDelete, scan::kKeypad5};  // 57417 on
    const int index = code - kKittyKeypad0;
    const auto composing = static_cast<std::uint16_t>((modifiers & ~kRightAlt) | kLeftAlt);
    if (index < 10) {
      if (alt) {
        Emit(ConsoleEvent::Extended(kDigitScan[index], composing));
      } else {
        Character(static_cast<char32_t>('0' + index), modifiers);
      }
    } else if (code >= 57409 && code <= 57415) {
      Character(static_cast<unsigned char>(kOthers[code - 57409]), modifiers);
    } else if (code >= 57417) {
      const unsigned char scanCode = kNavigation[code - 57417];
      const bool digitKey = scanCode != scan::kDelete;
      Emit(ConsoleEvent::Extended(scanCode, alt && digitKey ? composing : modifiers));
    }
    return;
  }
  if (code >= 57344) return;  // other functional keys (media, F13 and up): no PC key

  switch (code) {
    case 13: Emit(ConsoleEvent::Character(13, modifiers)); return;
    case 27: Emit(ConsoleEvent::Character(27, modifiers)); return;
    case 127:
    case 8: Emit(ConsoleEvent::Character(8, modifiers)); return;
    case 9:
      if (shift) {
        Emit(ConsoleEvent::Extended(scan::kShiftTab, modifiers));
      } else {
        Emit(ConsoleEvent::Character(9, modifiers));
      }
      return;
    default: break;
  }
  if (ctrl && !alt) {
    const char32_t lower = (code >= 'A' && code <= 'Z') ? static_cast<char32_t>(code + 32) : static_cast<char32_t>(code);
    if (lower >= 'a' && lower <= 'z') {
      Emit(ConsoleEvent::Character(static_cast<unsigned char>(lower - 'a' + 1), modifiers));
      return;
    }
  }
  if (alt && code < 0x80 && AltScanCode(static_cast<char>(code)) != 0) {
    Emit(ConsoleEvent::Extended(AltScanCode(static_cast<char>(code)), modifiers));
    return;
  }
  if (!text.empty()) {
    for (const char32_t c : text) Character(c, static_cast<std::uint16_t>(modifiers & ~(kShift | kLeftCtrl)));
    return;
  }
  char32_t shown = static_cast<char32_t>(code);
  if (shift && shiftedCode > 0) {
    shown = static_cast<char32_t>(shiftedCode);
  } else if (shift && code >= 'a' && code <= 'z') {
    shown = static_cast<char32_t>(code - 32);
  }
  Character(shown, static_cast<std::uint16_t>(modifiers & ~kShift));
}

namespace {
std::int16_t Cell(int value) { return static_cast<std::int16_t>(std::clamp(value, 1, 99)); }

std::uint16_t MouseModifiers(int bits) {
  std::uint16_t state = 0;
  if (bits & 4) state |= kShift;
  if (bits & 8) state |= kRightAlt;
  if (bits & 16) state |= kLeftCtrl;
  return state;
}

// The button of a report's low bits: 0 left, 2 right; the middle button and the wheel are
// not buttons of the system.
std::int16_t MouseButton(int bits) {
  switch (bits & 3) {
    case 0: return kLeftButton;
    case 2: return kRightButton;
    default: return 0;
  }
}
}  // namespace

// SGR (1006): CSI < b ; column ; row M (press or motion) or m (release).
void InputDecoder::SgrMouse(std::string_view parameters, char final) {
  const auto fields = SplitParameters(parameters);
  const int b = FieldValue(fields, 0, 0, 0);
  const std::int16_t column = Cell(FieldValue(fields, 1, 0, 1));
  const std::int16_t row = Cell(FieldValue(fields, 2, 0, 1));
  if (b & 64) return;  // the wheel
  const std::uint16_t modifiers = MouseModifiers(b);
  if (b & 32) {
    Emit(ConsoleEvent::Mouse(kMouseMoved, MouseButton(b), row, column, modifiers));
    return;
  }
  const std::int16_t button = MouseButton(b);
  if (button == 0) return;
  Emit(ConsoleEvent::Mouse(final == 'm' ? kMouseReleased : kMousePressed, button, row, column, modifiers));
}

// X10: CSI M b x y, each byte 32 + value; a release does not say which button, so the last
// pressed one is taken.
void InputDecoder::X10Mouse(unsigned char b, unsigned char x, unsigned char y) {
  const int bits = b - 32;
  const std::int16_t column = Cell(x - 32);
  const std::int16_t row = Cell(y - 32);
  if (bits & 64) return;
  const std::uint16_t modifiers = MouseModifiers(bits);
  if (bits & 32) {
    Emit(ConsoleEvent::Mouse(kMouseMoved, x10Button_, row, column, modifiers));
    return;
  }
  if ((bits & 3) == 3) {
    if (x10Button_ != 0) Emit(ConsoleEvent::Mouse(kMouseReleased, x10Button_, row, column, modifiers));
    x10Button_ = 0;
    return;
  }
  x10Button_ = MouseButton(bits);
  if (x10Button_ != 0) Emit(ConsoleEvent::Mouse(kMousePressed, x10Button_, row, column, modifiers));
}

// Bracketed paste: everything up to ESC [ 201 ~ is text, typed as characters; line ends and
// other control characters are left out so that a paste never presses Enter in a form.
void InputDecoder::DecodePaste() {
  const auto end = buffer_.find(kPasteEnd);
  std::string_view chunk = buffer_;
  if (end != std::string::npos) {
    chunk = chunk.substr(0, end);
  } else {
    // Keep back what could be the start of the end bracket.
    const std::size_t keep = std::min(buffer_.size(), kPasteEnd.size() - 1);
    chunk = chunk.substr(0, buffer_.size() - keep);
  }
  paste_.append(chunk);
  buffer_.erase(0, end != std::string::npos ? end + kPasteEnd.size() : chunk.size());
  // Decode the complete characters gathered so far.
  std::size_t i = 0;
  while (i < paste_.size()) {
    char32_t codePoint = 0;
    std::size_t length = 1;
    if (options_.latin1) {
      codePoint = static_cast<unsigned char>(paste_[i]);
    } else {
      length = DecodeUtf8(std::string_view(paste_).substr(i), codePoint);
      if (length == 0) {
        if (end == std::string::npos) break;
        length = paste_.size() - i;
        codePoint = 0;
      }
    }
    if (codePoint >= 0x20 && codePoint != 0x7f) Character(codePoint, 0);
    i += length;
  }
  paste_.erase(0, i);
  if (end != std::string::npos) {
    inPaste_ = false;
    paste_.clear();
  }
}

}  // namespace duv
