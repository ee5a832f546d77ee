#include "platform/TerminalWriter.h"

#include <gtest/gtest.h>

#include "platform/Clipboard.h"

namespace duv {
namespace {

TEST(TerminalWriter, ConsoleColoursSwapRedAndBlue) {
  const int expected[16] = {0, 4, 2, 6, 1, 5, 3, 7, 8, 12, 10, 14, 9, 13, 11, 15};
  for (int c = 0; c < 16; ++c) EXPECT_EQ(AnsiColour(c), expected[c]) << c;
}

TEST(TerminalWriter, AttributesAsSgr) {
  EXPECT_EQ(AttributeSgr(0x07, 16), "0;37;40");
  EXPECT_EQ(AttributeSgr(0x0f, 16), "0;97;40");
  EXPECT_EQ(AttributeSgr(0x70, 16), "0;30;47");
  EXPECT_EQ(AttributeSgr(0x1e, 16), "0;93;44");   // yellow on blue
  EXPECT_EQ(AttributeSgr(0xc4, 16), "0;31;101");  // red on bright red
  // With 8 colours a bright foreground is bold and a bright background the dark one.
  EXPECT_EQ(AttributeSgr(0x0f, 8), "0;1;37;40");
  EXPECT_EQ(AttributeSgr(0xc4, 8), "0;31;41");
}

TEST(TerminalWriter, GlyphsOfCodePage850) {
  EXPECT_EQ(GlyphUtf8('A'), "A");
  EXPECT_EQ(GlyphUtf8(0x82), "\xc3\xa9");       // é
  EXPECT_EQ(GlyphUtf8(0xc9), "\xe2\x95\x94");   // ╔
  EXPECT_EQ(GlyphUtf8(0xc4), "\xe2\x94\x80");   // ─
  EXPECT_EQ(GlyphUtf8(0xdb), "\xe2\x96\x88");   // █
  EXPECT_EQ(GlyphUtf8(0x10), "\xe2\x96\xba");   // ►
  EXPECT_EQ(GlyphUtf8(0x11), "\xe2\x97\x84");   // ◄
  EXPECT_EQ(GlyphUtf8(0x00), " ");
  EXPECT_EQ(GlyphUtf8(0x0d), "\xe2\x99\xaa");   // ♪, never a carriage return
}

class WriterDiffTest : public ::testing::Test {
 protected:
  std::vector<ConsoleCell> cells = std::vector<ConsoleCell>(3 * 4);
  TerminalWriter writer{TerminalProfile{}};
  std::string Render(int row = 1, int column = 1, int shape = 0) {
    return writer.Render(cells, 3, 4, row, column, shape);
  }
};

TEST_F(WriterDiffTest, FirstRenderDrawsEverythingThenOnlyChanges) {
  const std::string first = Render();
  EXPECT_NE(first.find("\x1b[2J"), std::string::npos);
  EXPECT_EQ(Render(), "");  // nothing changed
  cells[5] = {'x', 0x1e};   // row 2, column 2
  const std::string second = Render();
  EXPECT_EQ(second, "\x1b[2;2H\x1b[0;93;44mx\x1b[1;1H");
}

TEST_F(WriterDiffTest, RunsOfChangedCellsNeedOnePlacement) {
  Render();
  cells[4] = {'a', 7};
  cells[5] = {'b', 7};
  cells[7] = {'c', 7};  // last column of row 2
  cells[8] = {'d', 7};  // first column of row 3: placed again after the wrap
  EXPECT_EQ(Render(), "\x1b[2;1H\x1b[0;37;40mab\x1b[2;4Hc\x1b[3;1Hd\x1b[1;1H");
}

TEST_F(WriterDiffTest, CursorShapesAndMoves) {
  Render();
  EXPECT_EQ(Render(2, 3, 100), "\x1b[2;3H\x1b[2 q\x1b[?25h");
  EXPECT_EQ(Render(2, 3, 50), "\x1b[2;3H\x1b[6 q\x1b[?25h");
  EXPECT_EQ(Render(2, 3, 0), "\x1b[2;3H\x1b[?25l");
  EXPECT_EQ(Render(2, 3, -1), "\x1b[2;3H\x1b[0 q\x1b[?25h");
  // While cells are drawn a visible cursor is hidden, and shown again after.
  cells[0] = {'z', 7};
  EXPECT_EQ(Render(2, 3, -1), "\x1b[?25l\x1b[1;1H\x1b[0;37;40mz\x1b[2;3H\x1b[?25h");
}

TEST_F(WriterDiffTest, InvalidateRedrawsAll) {
  Render();
  writer.Invalidate();
  EXPECT_NE(Render().find("\x1b[2J"), std::string::npos);
}

TEST(TerminalWriter, LinuxConsoleHasNoCursorShapes) {
  TerminalWriter writer({8, false});
  std::vector<ConsoleCell> cells(1);
  writer.Render(cells, 1, 1, 1, 1, 0);
  EXPECT_EQ(writer.Render(cells, 1, 1, 1, 1, 50), "\x1b[1;1H\x1b[?25h");
}

TEST(Clipboard, Osc52CarriesTheTextInBase64) {
  EXPECT_EQ(Osc52Sequence("hello"), "\x1b]52;c;aGVsbG8=\x07");
  EXPECT_EQ(Osc52Sequence("ab"), "\x1b]52;c;YWI=\x07");
  EXPECT_EQ(Osc52Sequence("abc"), "\x1b]52;c;YWJj\x07");
  EXPECT_EQ(Osc52Sequence(""), "\x1b]52;c;\x07");
}

}  // namespace
}  // namespace duv
