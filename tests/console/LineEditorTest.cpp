#include "console/LineEditor.h"

#include <gtest/gtest.h>

#include "support/ConsoleFixture.h"

namespace duv {
namespace {

using testing::ConsoleFixture;

struct EditResult {
  std::string text;
  std::int16_t position;
  std::int16_t key;
};

class LineEditorTest : public ConsoleFixture {
 protected:
  // Edits `text` at window-relative (5, 10) with the keys given, ended by the key `end`.
  EditResult Edit(std::string text, std::int16_t position, std::initializer_list<std::int16_t> keys,
                  std::int16_t end = keys::kEnter, std::int16_t width = 0) {
    for (const auto k : keys) console.QueueKey(k);
    console.QueueKey(end);
    std::int16_t row = 5, column = 10, key = 0;
    editor.EditField(row, column, width, text, position, key);
    EXPECT_FALSE(console.RanDry());
    return {text, position, key};
  }
};

TEST_F(LineEditorTest, InsertModeTyping) {
  keyboardState.SetInsertMode(true);
  EXPECT_EQ(Edit("ABC ", 2, {'x'}).text, "AxBC");
  EXPECT_EQ(Edit("ABC ", 2, {'x'}).position, 3);
  // A full field takes nothing.
  const auto full = Edit("ABCD", 2, {'x'});
  EXPECT_EQ(full.text, "ABCD");
  EXPECT_EQ(full.position, 2);
  // At the end (position n + 1) nothing is inserted either.
  EXPECT_EQ(Edit("AB  ", 5, {'x'}).text, "AB  ");
}

TEST_F(LineEditorTest, OverwriteModeTyping) {
  const auto typed = Edit("ABCD", 2, {'x', 'y'});
  EXPECT_EQ(typed.text, "AxyD");
  EXPECT_EQ(typed.position, 4);
  EXPECT_EQ(Edit("ABCD", 5, {'x'}).text, "ABCD");
  // The typed characters show in the field.
  EXPECT_EQ(console.RowText(5, 10, 4), "ABCD");
  Edit("    ", 1, {0x82, 'e'});  // an accented letter of code page 850
  EXPECT_EQ(console.RowText(5, 10, 2), "\x82" "e");
}

TEST_F(LineEditorTest, DeletingKeys) {
  const struct {
    const char* text;
    std::int16_t position;
    std::int16_t key;
    const char* expected;
    std::int16_t expectedPosition;
  } cases[] = {
      {"ABCD", 3, keys::kBackspace, "ACD ", 2},
      {"ABCD", 1, keys::kBackspace, "ABCD", 1},
      {"ABCD", 1, keys::kDelete, "BCD ", 1},
      {"ABCD", 5, keys::kDelete, "ABCD", 5},
      {"ABCD", 3, keys::kCtrlY, "    ", 1},
      {"ABCD", 3, keys::kCtrlHome, "    ", 1},
  };
  for (const auto& c : cases) {
    const auto result = Edit(c.text, c.position, {c.key});
    EXPECT_EQ(result.text, c.expected) << c.text << " " << std::hex << c.key;
    EXPECT_EQ(result.position, c.expectedPosition) << c.text << " " << std::hex << c.key;
  }
}

TEST_F(LineEditorTest, MovingKeys) {
  const struct {
    const char* text;
    std::int16_t position;
    std::int16_t key;
    std::int16_t expected;
  } cases[] = {
      {"ABCD", 3, keys::kLeft, 2},      {"ABCD", 1, keys::kLeft, 1},
      {"ABCD", 4, keys::kRight, 5},     {"ABCD", 5, keys::kRight, 5},
      {"AB  ", 1, keys::kEnd, 3},       {"    ", 3, keys::kEnd, 1},
      {"ABCD", 4, keys::kHome, 1},      {" ab", 4, keys::kCtrlLeft, 2},
      {"ab cd", 6, keys::kCtrlLeft, 4}, {"ab cd", 4, keys::kCtrlLeft, 1},
      {"ab cd", 1, keys::kCtrlRight, 4}, {"abcd", 1, keys::kCtrlRight, 5},
      {"a,b.c;d:e", 9, keys::kCtrlLeft, 7}, {"ab  ,cd", 2, keys::kCtrlRight, 6},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Edit(c.text, c.position, {c.key}).position, c.expected)
        << c.text << " at " << c.position << " key " << std::hex << c.key;
  }
}

TEST_F(LineEditorTest, KeysThatEndEditingAtTheFieldEdges) {
  const struct {
    std::int16_t position;
    std::int16_t key;
    std::int16_t width;
    std::int16_t expectedKey;
  } cases[] = {
      {1, keys::kCtrlLeft, 0, keys::kCtrlLeft},
      {5, keys::kCtrlRight, 0, keys::kCtrlRight},
      {3, keys::kUp, 0, keys::kUp},
      {3, keys::kShiftTab, 0, keys::kUp},
      {3, keys::kDown, 0, keys::kDown},
  };
  for (const auto& c : cases) {
    // Nothing queued after the key: it must end editing by itself.
    std::string text = "ABCD";
    std::int16_t row = 5, column = 10, width = c.width, position = c.position, key = 0;
    console.QueueKey(c.key);
    editor.EditField(row, column, width, text, position, key);
    EXPECT_EQ(key, c.expectedKey) << std::hex << c.key;
    EXPECT_TRUE(console.ScriptEmpty());
  }
}

TEST_F(LineEditorTest, UpAndDownMoveBetweenLinesOfAWideField) {
  // 8 characters shown 4 per line.
  const auto down = Edit("ABCDEFGH", 2, {keys::kDown}, keys::kEnter, 4);
  EXPECT_EQ(down.position, 6);
  const auto up = Edit("ABCDEFGH", 7, {keys::kUp}, keys::kEnter, 4);
  EXPECT_EQ(up.position, 3);
  EXPECT_EQ(console.RowText(5, 10, 4), "ABCD");
  EXPECT_EQ(console.RowText(6, 10, 4), "EFGH");
}

TEST_F(LineEditorTest, CursorCellAtTheEndOfAFullLine) {
  std::string text = "ABCDEFGH";
  std::int16_t row = 5, column = 10, width = 4, position = 9, key = 0;
  console.QueueAction([&] {
    EXPECT_EQ(console.CursorRow(), 6);
    EXPECT_EQ(console.CursorColumn(), 14);
  });
  console.QueueKey(keys::kEnter);
  editor.EditField(row, column, width, text, position, key);
}

TEST_F(LineEditorTest, InsertKeyTogglesTheModeForLaterFields) {
  std::vector<std::int16_t> shapes;
  console.QueueAction([&] { shapes.push_back(console.CursorShape()); });
  console.QueueKey(keys::kInsert);
  console.QueueAction([&] { shapes.push_back(console.CursorShape()); });
  console.QueueKey('x');
  console.QueueKey(keys::kEnter);
  std::string text = "AB  ";
  std::int16_t row = 5, column = 10, width = 0, position = 1, key = 0;
  editor.EditField(row, column, width, text, position, key);
  EXPECT_EQ(text, "xAB ");
  EXPECT_EQ(shapes, (std::vector<std::int16_t>{100, 50}));
  EXPECT_TRUE(keyboardState.InsertMode());
  EXPECT_EQ(console.CursorShape(), 0);
  EXPECT_EQ(Edit("AB  ", 1, {'y'}).text, "yAB ");
}

TEST_F(LineEditorTest, CopyAndPaste) {
  Edit("  hello  ", 1, {keys::kCtrlC});
  EXPECT_EQ(clipboard.Text(), "hello");
  clipboard.SetText(" 12\t34 ");
  const auto pasted = Edit("abcdef", 2, {keys::kCtrlV});
  EXPECT_EQ(pasted.text, "a1234f");
  EXPECT_EQ(pasted.position, 2);
  clipboard.SetText("123456789");
  EXPECT_EQ(Edit("abcdef", 4, {keys::kCtrlV}).text, "abc123");
  clipboard.SetText(" \x01 \x7f ");
  EXPECT_EQ(Edit("abcdef", 1, {keys::kCtrlV}).text, "abcdef");
}

TEST_F(LineEditorTest, ExitKeyTranslationWithNoList) {
  EXPECT_EQ(Edit("AB", 1, {}, keys::kTab).key, keys::kEnter);
  EXPECT_EQ(Edit("AB", 1, {}, keys::kShiftTab).key, keys::kUp);
  EXPECT_EQ(Edit("AB", 1, {}, keys::kAltF4).key, keys::kEsc);
  EXPECT_EQ(Edit("AB", 1, {}, keys::kCtrlF4).key, keys::kEsc);
  EXPECT_EQ(Edit("AB", 1, {}, keys::kPgDn).key, keys::kPgDn);
  EXPECT_EQ(Edit("AB", 1, {}, keys::kAltX).key, keys::kAltX);
}

TEST_F(LineEditorTest, ExitKeyFilter) {
  editor.ApplyKeyCommands("a", "4f00,1b");
  EXPECT_EQ(Edit("AB", 1, {}, keys::kEnter).key, keys::kEnd);
  // A Tab becomes Enter only, and Enter is not in the list: dropped.
  console.QueueKey(keys::kTab);
  EXPECT_EQ(Edit("AB", 1, {}, keys::kEsc).key, keys::kEsc);
  editor.ApplyKeyCommands("e", "");
  editor.ApplyKeyCommands("a", "d,1b");
  // PgDn is dropped and editing goes on; F11 (negative) still ends it.
  const auto result = Edit("AB", 1, {keys::kPgDn, 'x'}, keys::kF11);
  EXPECT_EQ(result.key, keys::kF11);
  EXPECT_EQ(result.text, "xB");
}

TEST_F(LineEditorTest, TranslatedExitKey) {
  editor.ApplyKeyCommands("A", "3b00=1b");
  EXPECT_EQ(Edit("AB", 1, {}, keys::kF1).key, keys::kEsc);
}

TEST_F(LineEditorTest, KeyCommands) {
  editor.ApplyKeyCommands("a", "d,1B,4800,8500,3b00=1b");
  EXPECT_EQ(editor.ExitKeys(), (std::vector<std::int16_t>{13, 27, 0x4800, keys::kF11, keys::kF1}));
  EXPECT_EQ(editor.KeyTranslations(), (std::vector<std::int16_t>{13, 27, 0x4800, keys::kF11, 27}));
  editor.ApplyKeyCommands("d", "4800,5000,3b00");
  EXPECT_EQ(editor.ExitKeys(), (std::vector<std::int16_t>{13, 27, keys::kF11}));
  EXPECT_EQ(editor.KeyTranslations(), (std::vector<std::int16_t>{13, 27, keys::kF11}));
  // "+" twice saves once; "-" restores it, and a second "-" does nothing.
  editor.ApplyKeyCommands("+e+a", "4900");
  EXPECT_EQ(editor.ExitKeys(), (std::vector<std::int16_t>{0x4900}));
  editor.ApplyKeyCommands("-", "");
  EXPECT_EQ(editor.ExitKeys(), (std::vector<std::int16_t>{13, 27, keys::kF11}));
  editor.ApplyKeyCommands("ea", "1");
  editor.ApplyKeyCommands("-", "");
  EXPECT_EQ(editor.ExitKeys(), (std::vector<std::int16_t>{1}));
  // An empty entry is the code 0; other characters end an entry's digits.
  editor.ApplyKeyCommands("ea", ",12zz");
  EXPECT_EQ(editor.ExitKeys(), (std::vector<std::int16_t>{0, 0x12}));
  editor.ApplyKeyCommands("h", "");
  EXPECT_EQ(editor.MaskChar(), 'X');
  editor.ApplyKeyCommands("V?", "");
  EXPECT_EQ(editor.MaskChar(), 0);
}

TEST_F(LineEditorTest, MaskedFieldShowsOnlyTheMask) {
  editor.ApplyKeyCommands("h", "");
  console.SetCursorPosition(1, 1);
  const auto result = Edit("    ", 1, {'s', 'e'});
  EXPECT_EQ(result.text, "se  ");
  EXPECT_EQ(console.RowText(5, 10, 5), "XXXX ");
}

TEST_F(LineEditorTest, FieldInsideAWindowIsPlacedAndClicked) {
  screen.SetWindow({1, 5, 20, 20, 60});
  // Absolute row 8, column 32 is character 3 of a field at window-relative (3, 10).
  console.Queue(ConsoleEvent::Mouse(kMouseReleased, kLeftButton, 8, 32));
  console.QueueKey('z');
  console.QueueKey(keys::kEnter);
  std::string text = "abcdef";
  std::int16_t row = 3, column = 10, width = 0, position = 1, key = 0;
  editor.EditField(row, column, width, text, position, key);
  EXPECT_EQ(text, "abzdef");
  EXPECT_EQ(console.RowText(8, 30, 6), "abzdef");
}

TEST_F(LineEditorTest, ClickOutsideTheFieldEndsEditingWithItsCode) {
  console.Queue(ConsoleEvent::Mouse(kMouseReleased, kLeftButton, 20, 40));
  const auto result = Edit("abc", 1, {}, keys::kEnter);
  EXPECT_EQ(result.key, -(40 * 100 + 20));
}

TEST_F(LineEditorTest, EndingPutsTheCursorAtTheFieldStartInHighlight) {
  Edit("abc", 3, {});
  EXPECT_EQ(console.CursorRow(), 5);
  EXPECT_EQ(console.CursorColumn(), 10);
  EXPECT_EQ(screen.CurrentClass(), 0);
  // The field itself was drawn in the edit class.
  EXPECT_EQ(console.AttributeAt(5, 10), testing::kReverse);
}

TEST_F(LineEditorTest, ZeroRowAndColumnTakeTheCursorsAndAreWrittenBack) {
  console.SetCursorPosition(7, 12);
  console.QueueKey(keys::kEnter);
  std::string text = "ab";
  std::int16_t row = 0, column = 0, width = 0, position = 9, key = 0;
  editor.EditField(row, column, width, text, position, key);
  EXPECT_EQ(row, 7);
  EXPECT_EQ(column, 12);
  EXPECT_EQ(width, 3);
  EXPECT_EQ(position, 3);
  EXPECT_EQ(console.RowText(7, 12, 2), "ab");
}

class ChoiceFieldTest : public LineEditorTest {
 protected:
  void SetUp() override { editor.SetChoiceList("|A,Alpha|B,Beta|C,Gamma"); }
};

TEST_F(ChoiceFieldTest, ShowsTheCurrentLabelWithMarkers) {
  std::string shown;
  console.QueueAction([&] { shown = console.RowText(5, 9, 7); });
  const auto result = Edit("B", 1, {});
  EXPECT_EQ(shown, "\x11" "Beta \x10");
  EXPECT_EQ(result.text, "B");
  // The markers are blanked when editing ends.
  EXPECT_EQ(console.RowText(5, 9, 1), " ");
  EXPECT_EQ(console.RowText(5, 15, 1), " ");
}

TEST_F(ChoiceFieldTest, CyclingKeys) {
  const struct {
    std::initializer_list<std::int16_t> keys;
    const char* expected;
  } cases[] = {
      {{keys::kRight}, "C"},
      {{keys::kRight, keys::kRight}, "A"},
      {{keys::kLeft, keys::kLeft}, "C"},
      {{' '}, "C"},
      {{'g'}, "C"},
      {{'A'}, "A"},
      {{'b'}, "B"},
      {{'q'}, "B"},
      {{keys::kBackspace, keys::kDelete, keys::kCtrlY}, "B"},
  };
  for (const auto& c : cases) EXPECT_EQ(Edit("B", 1, c.keys).text, c.expected);
  EXPECT_EQ(console.RowText(5, 10, 5), "Beta ");
}

TEST_F(ChoiceFieldTest, UnknownValueStartsOnTheFirstOption) {
  EXPECT_EQ(Edit("Z", 1, {}).text, "A");
  // The stored code fills the field's length.
  EXPECT_EQ(Edit("ZZZ", 1, {keys::kRight}).text, "B  ");
}

TEST_F(ChoiceFieldTest, AccentsAndCaseFoldWhenMatchingALetter) {
  editor.SetChoiceList("|1,\x90nic|2,\x82s|3,otro");  // Énic, és
  EXPECT_EQ(Edit("3", 1, {'e'}).text, "1");
  EXPECT_EQ(Edit("1", 1, {'E'}).text, "2");
}

TEST_F(ChoiceFieldTest, UpAndDownEndEditing) {
  EXPECT_EQ(Edit("B", 1, {}, keys::kUp).key, keys::kUp);
  EXPECT_EQ(Edit("B", 1, {}, keys::kDown).key, keys::kDown);
  EXPECT_EQ(Edit("B", 1, {}, keys::kCtrlLeft).key, keys::kCtrlLeft);
}

TEST_F(ChoiceFieldTest, ClicksOnTheMarkers) {
  console.Queue(ConsoleEvent::Mouse(kMouseReleased, kLeftButton, 5, 15));  // the right marker
  console.Queue(ConsoleEvent::Mouse(kMouseReleased, kLeftButton, 5, 12));  // the label
  EXPECT_EQ(Edit("A", 1, {}).text, "B");
  console.Queue(ConsoleEvent::Mouse(kMouseReleased, kLeftButton, 5, 9));  // the left marker
  EXPECT_EQ(Edit("A", 1, {}).text, "C");
  console.Queue(ConsoleEvent::Mouse(kMouseReleased, kLeftButton, 6, 12));
  EXPECT_EQ(Edit("A", 1, {}, keys::kEnter).key, -(12 * 100 + 6));
}

TEST_F(ChoiceFieldTest, CopyTakesTheLabel) {
  Edit("C", 1, {keys::kCtrlC});
  EXPECT_EQ(clipboard.Text(), "Gamma");
}

TEST(WordMoves, StopAtWordStarts) {
  EXPECT_EQ(WordLeft("hello world", 12), 7);
  EXPECT_EQ(WordLeft("hello world", 7), 1);
  EXPECT_EQ(WordLeft("   ", 3), 1);
  EXPECT_EQ(WordRight("hello world", 3), 7);
  EXPECT_EQ(WordRight("hello   ", 1), 9);
}

}  // namespace
}  // namespace duv
