#include "console/Screen.h"

#include <gtest/gtest.h>

#include "support/ConsoleFixture.h"

namespace duv {
namespace {

using testing::ConsoleFixture;

class ScreenTest : public ConsoleFixture {};

TEST_F(ScreenTest, ClassCodesSelectTheirSlot) {
  struct Case {
    const char* code;
    std::int16_t expected;
  };
  const Case cases[] = {{"u", 4}, {"U", 4}, {"un", 4}, {"RN", 3}, {"nr", 3}, {"r", 2},
                        {"rh", 2}, {"n", 1}, {"h", 0}, {"x", 0}, {"uR", 4}};
  for (const auto& c : cases) {
    screen.SetColourClass("n");
    screen.SetColourClass("u");
    screen.SetColourClass(c.code);
    EXPECT_EQ(screen.CurrentClass(), c.expected) << c.code;
  }
}

TEST_F(ScreenTest, ClassesApplyTheirColoursAsTheConsoleAttribute) {
  screen.SetColourClass("h");
  EXPECT_EQ(console.Attribute(), testing::kHighlight);
  screen.SetColourClass("n");
  EXPECT_EQ(console.Attribute(), testing::kNormal);
  screen.SetColourClass("u");
  EXPECT_EQ(console.Attribute(), testing::kReverse);
}

TEST_F(ScreenTest, BlankCodeChangesAndSavesNothing) {
  screen.SetColourClass("u");
  console.SetAttribute(0x12);
  screen.SetColourClass("  ");
  screen.SetColourClass("");
  EXPECT_EQ(screen.CurrentClass(), 4);
  EXPECT_EQ(console.Attribute(), 0x12);
  EXPECT_TRUE(screen.ClassStack().empty());
}

TEST_F(ScreenTest, MinusWithAnEmptyStackSelectsHighlight) {
  screen.SetColourClass("n");
  screen.SetColourClass("-");
  EXPECT_EQ(screen.CurrentClass(), 0);
}

TEST_F(ScreenTest, NestedSavesRestoreInStackOrder) {
  screen.SetColourClass("r");
  screen.SetColourClass("+n");
  screen.SetColourClass("+u");
  screen.SetColourClass("+h");
  EXPECT_EQ(screen.ClassStack(), std::string("\x02\x01\x04", 3));
  screen.SetColourClass("-");
  EXPECT_EQ(screen.CurrentClass(), 4);
  screen.SetColourClass("-");
  screen.SetColourClass("-");
  EXPECT_EQ(screen.CurrentClass(), 2);
  EXPECT_TRUE(screen.ClassStack().empty());
}

TEST_F(ScreenTest, PlusAndMinusTogetherReapplyTheClassInForce) {
  screen.SetColourClass("u");
  console.SetAttribute(0);
  screen.SetColourClass("+-");
  EXPECT_EQ(screen.CurrentClass(), 4);
  EXPECT_EQ(console.Attribute(), testing::kReverse);
  EXPECT_TRUE(screen.ClassStack().empty());
}

TEST_F(ScreenTest, ColourNumbersOfSixteenOrMoreKeepThatHalf) {
  colours[1] = {20, 1};  // foreground out of range, background blue
  console.SetAttribute(0x0c);
  screen.SetColourClass("n");
  EXPECT_EQ(console.Attribute(), 0x1c);
}

TEST_F(ScreenTest, CursorPlacementIsRelativeToTheOpenWindow) {
  screen.PlaceCursor(3, 7);
  EXPECT_EQ(console.CursorRow(), 3);
  EXPECT_EQ(console.CursorColumn(), 7);
  screen.SetWindow({1, 4, 1, 10, 40});
  screen.PlaceCursor(1, 2);
  EXPECT_EQ(console.CursorRow(), 5);
  EXPECT_EQ(console.CursorColumn(), 3);
}

TEST_F(ScreenTest, CoordinateOutsideTheScreenStaysWhereItWas) {
  screen.PlaceCursor(10, 20);
  screen.PlaceCursor(30, 5);
  EXPECT_EQ(console.CursorRow(), 10);
  EXPECT_EQ(console.CursorColumn(), 5);
  screen.PlaceCursor(0, 81);
  EXPECT_EQ(console.CursorRow(), 10);
  EXPECT_EQ(console.CursorColumn(), 5);
}

TEST_F(ScreenTest, WindowInteriorBounds) {
  EXPECT_EQ(screen.FirstRow(), 1);
  EXPECT_EQ(screen.FirstColumn(), 1);
  EXPECT_EQ(screen.LastColumn(), 80);
  screen.SetWindow({1, 5, 10, 7, 20});
  EXPECT_EQ(screen.FirstRow(), 6);
  EXPECT_EQ(screen.FirstColumn(), 11);
  EXPECT_EQ(screen.LastColumn(), 19);
}

TEST(ScreenSize, ConsoleSeenByTheProgramIsAtMost99By99) {
  VirtualConsole large(120, 200);
  const auto colours = ParseColourTable(kDefaultColours);
  Screen screen(large, colours);
  EXPECT_EQ(screen.ScreenRows(), 99);
  EXPECT_EQ(screen.ScreenColumns(), 99);
  // So a window at the last row and column keeps two-digit coordinates.
  testing::TempDir work;
  WindowStack windows(screen, work.Prefix());
  large.SetCursorPosition(99, 99);
  windows.PushWindow(99, 99, 99, 99);
  EXPECT_EQ(work.Read("WinPush.tmp").substr(4, 20), "99990000000099999999");
}

class ScrollTest : public ConsoleFixture {
 protected:
  void SetUp() override {
    for (std::int16_t r = 1; r <= 25; ++r) {
      console.SetCursorPosition(r, 1);
      console.Write(std::string(80, static_cast<char>('A' + (r - 1) % 26)));
    }
    console.SetAttribute(0x1e);
  }
};

TEST_F(ScrollTest, UpByOneMovesTheRectangleAndBlanksItsLastRow) {
  screen.ScrollRegion(4, 1, 19, 78, 1);
  EXPECT_EQ(console.RowText(5, 2, 78), std::string(78, 'F'));   // row 6 moved up
  EXPECT_EQ(console.RowText(19, 2, 78), std::string(78, 'T'));  // row 20 moved up
  EXPECT_EQ(console.RowText(20, 2, 78), std::string(78, ' '));
  EXPECT_EQ(console.AttributeAt(20, 2), 0x1e);
  // Outside the rectangle nothing changed.
  EXPECT_EQ(console.RowText(5, 1, 1), "E");
  EXPECT_EQ(console.RowText(5, 80, 1), "E");
  EXPECT_EQ(console.RowText(21, 2, 1), "U");
  EXPECT_EQ(console.RowText(4, 2, 1), "D");
}

TEST_F(ScrollTest, ZeroLinesScrollsDownByOne) {
  screen.ScrollRegion(4, 1, 19, 78, 0);
  EXPECT_EQ(console.RowText(5, 2, 78), std::string(78, ' '));
  EXPECT_EQ(console.RowText(6, 2, 78), std::string(78, 'E'));
  EXPECT_EQ(console.RowText(20, 2, 78), std::string(78, 'S'));
  EXPECT_EQ(console.RowText(21, 2, 1), "U");
}

TEST_F(ScrollTest, RectangleIsLimitedToTheScreen) {
  screen.ScrollRegion(22, 70, 40, 200, -2);
  EXPECT_EQ(console.RowText(23, 71, 10), std::string(10, ' '));
  EXPECT_EQ(console.RowText(25, 71, 10), std::string(10, 'W'));
  EXPECT_EQ(console.RowText(25, 70, 1), "Y");
}

TEST_F(ScrollTest, ScrollingMoreLinesThanTheRectangleHoldsBlanksIt) {
  screen.ScrollRegion(0, 0, 2, 9, 5);
  EXPECT_EQ(console.RowText(1, 1, 10), std::string(10, ' '));
  EXPECT_EQ(console.RowText(3, 1, 10), std::string(10, ' '));
  EXPECT_EQ(console.RowText(4, 1, 10), std::string(10, 'D'));
}

}  // namespace
}  // namespace duv
