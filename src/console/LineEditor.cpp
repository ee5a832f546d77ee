#include "console/LineEditor.h"

#include <algorithm>

#include "session/TextHelpers.h"

namespace duv {

namespace {

bool IsSeparator(char c) { return std::string_view(" ,.;:").find(c) != std::string_view::npos; }

// One entry of a key list: hexadecimal digits up to the first other character, as 16 bits.
std::int16_t ParseHexKey(std::string_view entry) {
  std::uint16_t value = 0;
  for (const char c : entry) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) break;
    value = static_cast<std::uint16_t>(value * 16 + digit);
  }
  return static_cast<std::int16_t>(value);
}

std::vector<std::string_view> SplitEntries(std::string_view keys) {
  std::vector<std::string_view> entries;
  while (true) {
    const auto comma = keys.find(',');
    entries.push_back(keys.substr(0, comma));
    if (comma == std::string_view::npos) break;
    keys.remove_prefix(comma + 1);
  }
  return entries;
}

bool IsPrintable(std::int16_t key, bool choice) {
  return (key >= (choice ? 33 : 32) && key <= 126) || (key >= 128 && key <= 254);
}

}  // namespace

std::int16_t WordLeft(std::string_view text, std::int16_t position) {
  const auto isWord = [&text](int k) { return !IsSeparator(text[static_cast<std::size_t>(k - 1)]); };
  if (position <= 1) return 1;
  bool word = position - 1 <= static_cast<int>(text.size()) && isWord(position - 1);
  for (int k = position - 1; k >= 1; --k) {
    if (isWord(k) != word) {
      word = !word;
      if (!word) return static_cast<std::int16_t>(k + 1);
    }
  }
  return 1;
}

std::int16_t WordRight(std::string_view text, std::int16_t position) {
  const int n = static_cast<int>(text.size());
  const auto isSeparator = [&text](int k) { return IsSeparator(text[static_cast<std::size_t>(k - 1)]); };
  bool separator = position <= n && isSeparator(position);
  for (int k = position + 1; k <= n; ++k) {
    if (isSeparator(k) != separator) {
      separator = !separator;
      if (!separator) return static_cast<std::int16_t>(k);
    }
  }
  return static_cast<std::int16_t>(n + 1);
}

void LineEditor::ApplyKeyCommands(std::string_view commands, std::string_view keys) {
  for (const char command : commands) {
    switch (UpperCaseCp850(static_cast<unsigned char>(command))) {
      case 'D':
        for (const auto entry : SplitEntries(keys)) {
          const auto found = std::find(exitKeys_.begin(), exitKeys_.end(), ParseHexKey(entry));
          if (found == exitKeys_.end()) continue;
          const auto index = found - exitKeys_.begin();
          exitKeys_.erase(found);
          keyTranslations_.erase(keyTranslations_.begin() + index);
        }
        break;
      case 'A':
        for (const auto entry : SplitEntries(keys)) {
          const auto equals = entry.find('=');
          const std::int16_t k = ParseHexKey(entry.substr(0, equals));
          exitKeys_.push_back(k);
          keyTranslations_.push_back(equals == std::string_view::npos ? k : ParseHexKey(entry.substr(equals + 1)));
        }
        break;
      case 'E':
        exitKeys_.clear();
        keyTranslations_.clear();
        break;
      case '+':
        if (!saved_) {
          saved_ = true;
          savedExitKeys_ = exitKeys_;
          savedTranslations_ = keyTranslations_;
        }
        break;
      case '-':
        if (saved_) {
          saved_ = false;
          exitKeys_ = std::move(savedExitKeys_);
          keyTranslations_ = std::move(savedTranslations_);
          savedExitKeys_.clear();
          savedTranslations_.clear();
        }
        break;
      case 'H': maskChar_ = 'X'; break;
      case 'V': maskChar_ = 0; break;
      default: break;
    }
  }
}

struct LineEditor::Field {
  std::int16_t row;
  std::int16_t column;
  std::int16_t width;
  std::string& text;
  std::int16_t& position;
  int n;
  bool choice;
  std::vector<Option> options;
  std::size_t current = 0;
  int labelWidth = 0;
  bool redraw = true;
};

std::vector<LineEditor::Option> LineEditor::ParseChoices() const {
  std::vector<Option> options;
  std::string_view rest = choiceList_;
  while (!rest.empty()) {
    const auto bar = rest.find('|');
    if (bar == std::string_view::npos) break;
    rest.remove_prefix(bar + 1);
    const auto end = rest.find('|');
    const std::string_view option = rest.substr(0, end);
    const auto comma = option.find(',');
    Option parsed;
    parsed.code = std::string(option.substr(0, comma));
    if (comma != std::string_view::npos) parsed.label = std::string(option.substr(comma + 1));
    options.push_back(std::move(parsed));
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end);
  }
  return options;
}

void LineEditor::Draw(Field& f) {
  if (f.choice) {
    const Option& option = f.options[f.current];
    std::string code = option.code;
    code.resize(static_cast<std::size_t>(f.n), ' ');
    f.text = code;
    std::string label = option.label;
    label.resize(static_cast<std::size_t>(f.labelWidth), ' ');
    screen_.PlaceCursor(f.row, f.column);
    screen_.Write(maskChar_ != 0 ? std::string(static_cast<std::size_t>(std::max(0, f.width - 1)),
                                               static_cast<char>(maskChar_))
                                 : label);
    return;
  }
  for (int i = 0, k = 1; k <= f.n; ++i, k += f.width) {
    screen_.PlaceCursor(static_cast<std::int16_t>(f.row + i), f.column);
    if (maskChar_ != 0) {
      screen_.Write(std::string(static_cast<std::size_t>(std::max(0, f.width - 1)), static_cast<char>(maskChar_)));
    } else {
      screen_.Write(std::string_view(f.text).substr(static_cast<std::size_t>(k - 1), static_cast<std::size_t>(f.width)));
    }
  }
}

void LineEditor::PlaceFieldCursor(const Field& f) {
  int line = (f.position - 1) / f.width;
  int offset = (f.position - 1) % f.width;
  if (f.position == f.n + 1 && offset == 0 && line > 0) {
    --line;
    offset = f.width;
  }
  screen_.PlaceCursor(static_cast<std::int16_t>(f.row + line), static_cast<std::int16_t>(f.column + offset));
}

std::int16_t LineEditor::WaitForKey() {
  std::int16_t key = 0, buttons = 0, mouseRow = 0, mouseColumn = 0;
  while (true) {
    keyboard_.ReadKeyEvent(key, buttons, mouseRow, mouseColumn);
    if (key == keys::kInsert) {
      keyboardState_.SetInsertMode(!keyboardState_.InsertMode());
      screen_.SetCursorShape(keyboardState_.InsertMode() ? 50 : 100);
      continue;
    }
    if (buttons != 0) {
      key = static_cast<std::int16_t>(-(mouseColumn * 100 + mouseRow));
      break;
    }
    if (key != 0) break;
    keyboard_.Device().WaitForInput(20);
  }
  screen_.SetCursorShape(0);
  return key;
}

bool LineEditor::HandleClick(Field& f, std::int16_t& key) {
  const int code = -key;
  const int clickRow = code % 100;
  const int clickColumn = code / 100;
  const int r0 = screen_.FirstRow() + f.row - 1;
  const int c0 = screen_.FirstColumn() + f.column - 1;
  if (f.choice) {
    if (clickRow != r0) return false;
    if (clickColumn == c0 - 1) return HandleChoiceKey(f, keys::kLeft);
    if (clickColumn == c0 + f.labelWidth) return HandleChoiceKey(f, keys::kRight);
    return clickColumn > c0 - 1 && clickColumn < c0 + f.labelWidth;
  }
  if (clickRow >= r0 && clickRow < r0 + (f.n + 1) / f.width && clickColumn >= c0 &&
      clickColumn < c0 + f.width) {
    f.position = static_cast<std::int16_t>((clickRow - r0) * f.width + (clickColumn - c0) + 1);
    f.position = std::clamp<std::int16_t>(f.position, 1, static_cast<std::int16_t>(f.n + 1));
    return true;
  }
  return false;
}

bool LineEditor::HandleChoiceKey(Field& f, std::int16_t key) {
  const std::size_t count = f.options.size();
  if (IsPrintable(key, true)) {
    TextFolder folder;
    folder.foldForSearch = true;
    const std::string wanted = folder.FoldText(std::string(1, static_cast<char>(key)));
    for (std::size_t step = 1; step <= count; ++step) {
      const std::size_t candidate = (f.current + step) % count;
      const std::string& label = f.options[candidate].label;
      if (!label.empty() && folder.FoldText(label.substr(0, 1)) == wanted) {
        f.current = candidate;
        f.redraw = true;
        break;
      }
    }
    return true;
  }
  switch (key) {
    case keys::kLeft:
      f.current = (f.current + count - 1) % count;
      f.redraw = true;
      return true;
    case keys::kRight:
    case ' ':
      f.current = (f.current + 1) % count;
      f.redraw = true;
      return true;
    case keys::kEnd:
    case keys::kHome:
    case keys::kCtrlC:
      if (key == keys::kEnd) f.position = static_cast<std::int16_t>(TrimTrailingBlanks(f.text).size() + 1);
      if (key == keys::kHome) f.position = 1;
      if (key == keys::kCtrlC) clipboard_.SetText(f.options[f.current].label);
      return true;
    case keys::kBackspace:
    case keys::kCtrlHome:
    case keys::kCtrlY:
    case keys::kDelete:
    case keys::kCtrlV:
      return true;
    default:
      return false;
  }
}

bool LineEditor::HandleTextKey(Field& f, std::int16_t key) {
  std::string& text = f.text;
  std::int16_t& position = f.position;
  const int n = f.n;
  const auto deleteAt = [&](int at) {
    text.erase(static_cast<std::size_t>(at - 1), 1);
    text.push_back(' ');
    f.redraw = true;
  };
  if (IsPrintable(key, false)) {
    if (keyboardState_.InsertMode()) {
      if (n > 0 && text.back() == ' ' && position <= n) {
        text.insert(static_cast<std::size_t>(position - 1), 1, static_cast<char>(key));
        text.pop_back();
        ++position;
        f.redraw = true;
      }
    } else if (position <= n) {
      text[static_cast<std::size_t>(position - 1)] = static_cast<char>(key);
      if (maskChar_ == 0) screen_.Write(std::string(1, static_cast<char>(key)));
      ++position;
    }
    return true;
  }
  switch (key) {
    case keys::kLeft:
      if (position > 1) --position;
      return true;
    case keys::kRight:
      if (position <= n) ++position;
      return true;
    case keys::kBackspace:
      if (position > 1) {
        --position;
        deleteAt(position);
      }
      return true;
    case keys::kEnd:
      position = static_cast<std::int16_t>(TrimTrailingBlanks(text).size() + 1);
      return true;
    case keys::kHome:
      position = 1;
      return true;
    case keys::kCtrlHome:
    case keys::kCtrlY:
      text.assign(static_cast<std::size_t>(n), ' ');
      position = 1;
      f.redraw = true;
      return true;
    case keys::kDelete:
      if (position <= n) deleteAt(position);
      return true;
    case keys::kUp:
    case keys::kShiftTab:
      if (position > f.width) {
        position = static_cast<std::int16_t>(position - f.width);
        return true;
      }
      return false;
    case keys::kDown:
      if (position <= n + 1 - f.width) {
        position = static_cast<std::int16_t>(position + f.width);
        return true;
      }
      return false;
    case keys::kCtrlLeft:
      if (position > 1) {
        position = WordLeft(text, position);
        return true;
      }
      return false;
    case keys::kCtrlRight:
      if (position <= n) {
        position = WordRight(text, position);
        return true;
      }
      return false;
    case keys::kCtrlC:
      clipboard_.SetText(std::string(TrimBlanks(text)));
      return true;
    case keys::kCtrlV: {
      std::string pasted;
      for (const char c : clipboard_.Text()) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 31 && byte != 127 && byte != 255) pasted.push_back(c);
      }
      const std::string_view trimmed = TrimBlanks(pasted);
      if (!trimmed.empty()) {
        const std::size_t from = static_cast<std::size_t>(position - 1);
        const std::size_t room = from < text.size() ? text.size() - from : 0;
        text.replace(from, std::min(room, trimmed.size()), trimmed.substr(0, room));
        f.redraw = true;
      }
      return true;
    }
    default:
      return false;
  }
}

bool LineEditor::HandleKey(Field& f, std::int16_t key) {
  return f.choice ? HandleChoiceKey(f, key) : HandleTextKey(f, key);
}

bool LineEditor::FilterExitKey(std::int16_t& key) const {
  const auto contains = [this](std::int16_t k) {
    return std::find(exitKeys_.begin(), exitKeys_.end(), k) != exitKeys_.end();
  };
  if (key == keys::kShiftTab) {
    key = keys::kUp;
  } else if (key == keys::kTab) {
    key = keys::kEnter;
  } else if (key == keys::kEnter && contains(keys::kEnd)) {
    key = keys::kEnd;
  } else if (key == keys::kCtrlF4 || key == keys::kAltF4) {
    key = keys::kEsc;
  }
  if (exitKeys_.empty()) return true;
  const auto found = std::find(exitKeys_.begin(), exitKeys_.end(), key);
  if (found != exitKeys_.end()) {
    key = keyTranslations_[static_cast<std::size_t>(found - exitKeys_.begin())];
    return true;
  }
  return key < 0;
}

void LineEditor::EditField(std::int16_t& row, std::int16_t& column, std::int16_t& width,
                           std::string& text, std::int16_t& position, std::int16_t& key) {
  const int n = static_cast<int>(std::min<std::size_t>(text.size(), 32766));
  if (row == 0) row = screen_.Device().CursorRow();
  if (column == 0) column = screen_.Device().CursorColumn();
  position = std::clamp<std::int16_t>(position, 1, static_cast<std::int16_t>(n + 1));
  if (width <= 0) width = static_cast<std::int16_t>(n + 1);

  Field f{row, column, width, text, position, n, !choiceList_.empty(), {}, 0, 0, true};
  if (f.choice) {
    f.options = ParseChoices();
    if (f.options.empty()) f.options.push_back({});
    for (std::size_t i = 0; i < f.options.size(); ++i) {
      if (f.options[i].code == text) f.current = i;
      f.labelWidth = std::max(f.labelWidth, static_cast<int>(f.options[i].label.size()));
    }
    screen_.PlaceCursor(row, static_cast<std::int16_t>(column - 1));
    screen_.Write("\x11");
    screen_.PlaceCursor(row, static_cast<std::int16_t>(column + f.labelWidth));
    screen_.Write("\x10");
  }
  screen_.SetColourClass("u");

  while (true) {
    if (f.redraw) {
      Draw(f);
      f.redraw = false;
    }
    if (!f.choice) {
      PlaceFieldCursor(f);
      screen_.SetCursorShape(keyboardState_.InsertMode() ? 50 : 100);
    }
    key = WaitForKey();
    bool goOn = false;
    if (key < 0) {
      goOn = HandleClick(f, key);
    } else {
      goOn = HandleKey(f, key);
    }
    if (goOn) continue;
    if (FilterExitKey(key)) break;
    f.redraw = true;
  }

  screen_.SetColourClass("h");
  if (f.choice) {
    screen_.PlaceCursor(row, static_cast<std::int16_t>(column - 1));
    screen_.Write(" ");
    screen_.PlaceCursor(row, static_cast<std::int16_t>(column + f.labelWidth));
    screen_.Write(" ");
  }
  screen_.PlaceCursor(row, column);
}

}  // namespace duv
