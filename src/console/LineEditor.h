#pragma once
// The line editor of every form field: fixed-length text edited in place, insert and
// overwrite mode, word moves, clipboard, mouse placement, choice fields cycling through a list
// of options, masking, and the configurable keys that end editing.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "console/Keyboard.h"
#include "console/Screen.h"
#include "platform/Clipboard.h"
#include "platform/KeyboardState.h"

namespace duv {

class LineEditor {
 public:
  LineEditor(Screen& screen, Keyboard& keyboard, KeyboardState& keyboardState, Clipboard& clipboard)
      : screen_(screen), keyboard_(keyboard), keyboardState_(keyboardState), clipboard_(clipboard) {}

  // Commands D (drop keys), A (add keys, "k" or "k=t"), E (empty), + (save), - (restore),
  // H (mask with X), V (no mask); keys is a comma-separated list of hexadecimal key codes.
  void ApplyKeyCommands(std::string_view commands, std::string_view keys);
  // Options "|code,label" one after another; empty makes the next field a text field.
  void SetChoiceList(std::string_view list) { choiceList_ = list; }
  void EditField(std::int16_t& row, std::int16_t& column, std::int16_t& width, std::string& text,
                 std::int16_t& position, std::int16_t& key);

  const std::vector<std::int16_t>& ExitKeys() const { return exitKeys_; }
  const std::vector<std::int16_t>& KeyTranslations() const { return keyTranslations_; }
  std::int16_t MaskChar() const { return maskChar_; }

 private:
  struct Option {
    std::string code;
    std::string label;
  };
  struct Field;  // the state of one edit

  std::vector<Option> ParseChoices() const;
  void Draw(Field& f);
  void PlaceFieldCursor(const Field& f);
  // Waits for a key or a click (as its negative code); Insert is handled here.
  std::int16_t WaitForKey();
  // Applies an editing key; true when editing goes on.
  bool HandleKey(Field& f, std::int16_t key);
  bool HandleClick(Field& f, std::int16_t& key);
  bool HandleChoiceKey(Field& f, std::int16_t key);
  bool HandleTextKey(Field& f, std::int16_t key);
  // The key translated and looked up in the exit keys; false when it is dropped.
  bool FilterExitKey(std::int16_t& key) const;

  Screen& screen_;
  Keyboard& keyboard_;
  KeyboardState& keyboardState_;
  Clipboard& clipboard_;
  std::vector<std::int16_t> exitKeys_;
  std::vector<std::int16_t> keyTranslations_;
  bool saved_ = false;
  std::vector<std::int16_t> savedExitKeys_;
  std::vector<std::int16_t> savedTranslations_;
  std::int16_t maskChar_ = 0;
  std::string choiceList_;
};

// Word moves over " ,.;:" as separators (positions are 1-based).
std::int16_t WordLeft(std::string_view text, std::int16_t position);
std::int16_t WordRight(std::string_view text, std::int16_t position);

}  // namespace duv
