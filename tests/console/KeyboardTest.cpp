#include "console/Keyboard.h"

#include <gtest/gtest.h>

#include "support/ConsoleFixture.h"

namespace duv {
namespace {

using testing::ConsoleFixture;

class KeyboardTest : public ConsoleFixture {
 protected:
  std::int16_t Read() {
    std::int16_t key = 0, buttons = 0, row = 0, column = 0;
    keyboard.ReadKeyEvent(key, buttons, row, column);
    return key;
  }
  std::int16_t Wait() {
    std::int16_t key = 0;
    keyboard.WaitKey(key);
    return key;
  }
};

TEST_F(KeyboardTest, ModifierVariants) {
  struct Case {
    std::int16_t key;
    std::uint16_t modifiers;
    std::uint16_t expected;
  };
  const Case cases[] = {
      {keys::kF1, kLeftCtrl, 0x5e00},        {keys::kF1, kRightCtrl, 0x5e00},
      {keys::kF10, kShift, 0x5d00},          {keys::kF1, kShift, 0x5400},
      {keys::kF1, kLeftAlt, 0x6800},         {keys::kF1, kRightAlt, 0x6800},
      {keys::kF4, kRightAlt | kShift, 0x6b00},
      {keys::kF12, kShift, 0x8800},          {keys::kF11, kRightAlt, 0x8b00},
      {keys::kF11, kLeftCtrl, 0x8900},       {keys::kF12, kLeftCtrl | kShift, 0x8a00},
      {keys::kHome, kLeftCtrl, 0x7700},      {keys::kLeft, kRightCtrl, 0x7300},
      {keys::kRight, kLeftCtrl, 0x7400},     {keys::kHome, kShift, 0x4700},
      {keys::kUp, kLeftCtrl, 0x4800},        {'a', kLeftCtrl, 'a'},
  };
  for (const auto& c : cases) {
    console.QueueKey(c.key, c.modifiers);
    EXPECT_EQ(static_cast<std::uint16_t>(Read()), c.expected) << std::hex << c.key << " " << c.modifiers;
  }
}

TEST_F(KeyboardTest, AltEGivesTheCharacter213) {
  console.QueueKey(keys::kAltE, kRightAlt);
  EXPECT_EQ(Read(), 213);
}

TEST_F(KeyboardTest, AltKeypadComposesACharacter) {
  console.QueueKey(keys::kRight, kLeftAlt);    // keypad 6
  console.QueueKey(keys::kKeypad5, kLeftAlt);  // keypad 5
  console.QueueKey('x');                       // replaced by the composed character
  console.QueueKey('y');
  EXPECT_EQ(Read(), 'A');
  EXPECT_EQ(Read(), 'y');
}

TEST_F(KeyboardTest, AltKeypadValueIsTakenModulo256) {
  // 3, 2, 1 with a release event (no key, no Alt) ending it: 321 mod 256 = 65.
  console.QueueKey(keys::kPgDn, kLeftAlt);
  console.QueueKey(keys::kDown, kLeftAlt);
  console.QueueKey(keys::kEnd, kLeftAlt);
  console.Queue(ConsoleEvent{});
  EXPECT_EQ(Read(), 65);
  EXPECT_TRUE(console.ScriptEmpty());
}

TEST_F(KeyboardTest, AltKeypadWaitsForTheNextEvent) {
  console.QueueKey(keys::kInsert, kLeftAlt);  // 0
  console.QueueKey(keys::kEnd, kLeftAlt);     // 1
  console.QueueAction([] {});                 // nothing arrives for a while
  console.QueueKey(keys::kHome, kLeftAlt);    // 7
  console.QueueKey(keys::kHome, kLeftAlt);    // 7: "0177" is 177
  console.QueueKey('q');
  EXPECT_EQ(Read(), 177);
}

TEST_F(KeyboardTest, AltWithAnotherKeyIsNotComposed) {
  console.QueueKey(keys::kAltF, kLeftAlt);
  console.QueueKey('z');
  EXPECT_EQ(Read(), keys::kAltF);
  EXPECT_EQ(Read(), 'z');
  console.QueueKey(keys::kLeft, kRightAlt);  // right Alt never composes
  EXPECT_EQ(Read(), keys::kLeft);
}

TEST_F(KeyboardTest, HotKeysOpenTheirPopupAndTypeItsResult) {
  int calculatorRuns = 0;
  keyboard.SetCalculator([&] {
    ++calculatorRuns;
    EXPECT_TRUE(keyboard.CalculatorOpen());
    // Alt+X inside the calculator is an ordinary key.
    EXPECT_EQ(Read(), keys::kAltX);
    return std::string("500");
  });
  console.QueueKey(keys::kAltX, kRightAlt);
  console.QueueKey(keys::kAltX, kRightAlt);  // read inside the calculator
  console.QueueKey('z');
  EXPECT_EQ(Read(), keys::kAltX);
  EXPECT_EQ(calculatorRuns, 1);
  EXPECT_FALSE(keyboard.CalculatorOpen());
  const int eventsBefore = console.EventsRead();
  EXPECT_EQ(Read(), '5');
  EXPECT_EQ(Read(), '0');
  EXPECT_EQ(Read(), '0');
  // While the pending text drained no console event was read.
  EXPECT_EQ(console.EventsRead(), eventsBefore);
  EXPECT_EQ(Read(), 'z');
}

TEST_F(KeyboardTest, CalendarOpensInsideTheCalculatorButNotInsideItself) {
  std::vector<std::string> opened;
  keyboard.SetCalendar([&] {
    opened.push_back("calendar");
    console.QueueKey(keys::kAltC, kRightAlt);
    EXPECT_EQ(Read(), keys::kAltC);
    return std::string("1/2/2024 ");
  });
  keyboard.SetCalculator([&] {
    opened.push_back("calculator");
    console.QueueKey(keys::kAltC, kRightAlt);
    EXPECT_EQ(Read(), keys::kAltC);
    EXPECT_EQ(keyboard.PendingKeys(), "1/2/2024 ");
    return std::string("7");
  });
  console.QueueKey(keys::kAltX, kRightAlt);
  EXPECT_EQ(Read(), keys::kAltX);
  EXPECT_EQ(opened, (std::vector<std::string>{"calculator", "calendar"}));
  EXPECT_EQ(keyboard.PendingKeys(), "7");
}

TEST_F(KeyboardTest, HotKeyWithoutAPopupIsJustAKey) {
  console.QueueKey(keys::kAltC, kRightAlt);
  EXPECT_EQ(Read(), keys::kAltC);
  EXPECT_TRUE(keyboard.PendingKeys().empty());
}

TEST_F(KeyboardTest, MouseReportingIsOnOnlyWhileWaiting) {
  console.Queue(ConsoleEvent::Mouse(kMouseMoved, 0, 3, 4));
  console.QueueKey('a');
  EXPECT_EQ(Read(), 0);
  EXPECT_TRUE(console.MouseReporting());
  EXPECT_EQ(keyboard.MouseState(), 1);
  EXPECT_EQ(Read(), 'a');
  EXPECT_FALSE(console.MouseReporting());
  EXPECT_EQ(keyboard.MouseState(), 2);
}

TEST_F(KeyboardTest, NoMouseButtonsMeansNoMouse) {
  console.SetMouseButtons(0);
  console.QueueKey('a');
  EXPECT_EQ(Read(), 'a');
  EXPECT_EQ(keyboard.MouseState(), 3);
  EXPECT_EQ(console.MouseSwitches(), 0);
}

TEST_F(KeyboardTest, ClickReportsTheReleasedButtonAndPosition) {
  console.Queue(ConsoleEvent::Mouse(kMousePressed, kLeftButton, 5, 12));
  console.Queue(ConsoleEvent::Mouse(kMouseReleased, kRightButton, 5, 12));
  std::int16_t key = 0, buttons = 0, row = 0, column = 0;
  keyboard.ReadKeyEvent(key, buttons, row, column);
  EXPECT_EQ(buttons, 0);
  EXPECT_EQ(row, 5);
  keyboard.ReadKeyEvent(key, buttons, row, column);
  EXPECT_EQ(key, 0);
  EXPECT_EQ(buttons, kRightButton);
  EXPECT_EQ(row, 5);
  EXPECT_EQ(column, 12);
}

TEST_F(KeyboardTest, WaitKeyPacksAClick) {
  console.Queue(ConsoleEvent::Mouse(kMouseMoved, 0, 1, 1));
  console.Queue(ConsoleEvent::Mouse(kMouseReleased, kLeftButton, 5, 12));
  EXPECT_EQ(Wait(), 12 * 256 + 64 + 5);
  // Large columns wrap to 16 bits, as the packed form does.
  console.Queue(ConsoleEvent::Mouse(kMouseReleased, kRightButton, 9, 99));
  EXPECT_EQ(static_cast<std::uint16_t>(Wait()), static_cast<std::uint16_t>(99 * 256 + 128 + 9));
}

TEST_F(KeyboardTest, WaitKeySkipsEventsWithoutAKey) {
  console.Queue(ConsoleEvent{});
  console.Queue(ConsoleEvent::Mouse(kMouseMoved, 0, 2, 2));
  console.QueueKey(keys::kEnter);
  EXPECT_EQ(Wait(), keys::kEnter);
}

TEST_F(KeyboardTest, RawKeysSkipPendingTextVariantsAndHotKeys) {
  bool opened = false;
  keyboard.SetCalculator([&] {
    opened = true;
    return std::string();
  });
  console.Queue(ConsoleEvent::Mouse(kMouseReleased, kLeftButton, 5, 5));
  console.QueueKey(keys::kF1, kShift);
  console.QueueKey(keys::kAltX, kRightAlt);
  EXPECT_EQ(keyboard.WaitRawKey(), keys::kF1);
  EXPECT_EQ(keyboard.WaitRawKey(), keys::kAltX);
  EXPECT_FALSE(opened);
}

}  // namespace
}  // namespace duv
