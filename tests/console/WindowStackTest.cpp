#include "console/WindowStack.h"

#include <gtest/gtest.h>

#include "support/ConsoleFixture.h"

namespace duv {
namespace {

using testing::ConsoleFixture;

class WindowStackTest : public ConsoleFixture {
 protected:
  void SetUp() override {
    // A screen where every cell differs: character by column, attribute by row.
    for (std::int16_t r = 1; r <= 25; ++r) {
      console.SetAttribute(static_cast<std::uint8_t>(r));
      console.SetCursorPosition(r, 1);
      for (int c = 0; c < 80; ++c) console.Write(std::string(1, static_cast<char>(33 + (c + r) % 90)));
    }
    original = Snapshot();
  }
  std::vector<ConsoleCell> Snapshot() const {
    std::vector<ConsoleCell> cells;
    for (std::int16_t r = 1; r <= 25; ++r)
      for (std::int16_t c = 1; c <= 80; ++c) cells.push_back(console.ReadCell(r, c));
    return cells;
  }
  void Scribble() {
    console.SetAttribute(0x4f);
    for (std::int16_t r = 1; r <= 25; ++r) {
      console.SetCursorPosition(r, 1);
      console.Write(std::string(80, '#'));
    }
  }
  std::vector<ConsoleCell> original;
};

TEST_F(WindowStackTest, PushWritesTheRecordLayout) {
  console.SetCursorPosition(12, 3);
  windows.PushWindow(5, 10, 7, 20);
  const std::string file = WindowFile();
  ASSERT_EQ(file.size(), 95u);
  EXPECT_EQ(file.substr(0, 4), std::string("\x60\0\0\0", 4));  // 96
  EXPECT_EQ(file.substr(4, 20), "12030000000005100720");
  EXPECT_EQ(file.substr(90, 5), "00091");
  // The cells, row by row: character then attribute.
  EXPECT_EQ(static_cast<unsigned char>(file[24]), console.ReadCell(5, 10).character);
  EXPECT_EQ(static_cast<unsigned char>(file[25]), 5);
  EXPECT_EQ(static_cast<unsigned char>(file[24 + 2 * 11]), console.ReadCell(6, 10).character);
  EXPECT_EQ(static_cast<unsigned char>(file[24 + 2 * 11 + 1]), 6);
  EXPECT_EQ(screen.Window(), (CurrentWindow{1, 5, 10, 7, 20}));
}

TEST_F(WindowStackTest, PopRestoresCellsCursorAndWindowAndDeletesTheFile) {
  console.SetCursorPosition(12, 3);
  windows.PushWindow(5, 10, 7, 20);
  Scribble();
  // Only the saved rectangle comes back; restore the rest by hand to compare the whole screen.
  windows.PopWindow();
  for (std::int16_t r = 5; r <= 7; ++r)
    for (std::int16_t c = 10; c <= 20; ++c)
      EXPECT_EQ(console.ReadCell(r, c), original[static_cast<std::size_t>((r - 1) * 80 + c - 1)]);
  EXPECT_EQ(console.ReadCell(8, 10).character, '#');
  EXPECT_EQ(console.CursorRow(), 12);
  EXPECT_EQ(console.CursorColumn(), 3);
  EXPECT_EQ(screen.Window(), CurrentWindow{});
  EXPECT_FALSE(WindowFileExists());
  // The colour left in force is that of the last restored cell.
  EXPECT_EQ(console.Attribute(), 7);
}

TEST_F(WindowStackTest, NestedPushesRestoreInOrderAndKeepTheFileLength) {
  windows.PushWindow(1, 1, 25, 80);
  Scribble();
  const auto scribbled = Snapshot();
  console.SetCursorPosition(2, 2);
  windows.PushWindow(10, 30, 12, 40);
  const std::size_t fullLength = WindowFile().size();
  EXPECT_EQ(screen.Window(), (CurrentWindow{2, 10, 30, 12, 40}));
  console.SetCursorPosition(11, 31);
  console.Write("zzz");
  windows.PopWindow();
  EXPECT_EQ(Snapshot(), scribbled);
  EXPECT_EQ(screen.Window(), (CurrentWindow{1, 1, 1, 25, 80}));
  const std::string file = WindowFile();
  EXPECT_EQ(file.size(), fullLength);
  const std::uint32_t next = static_cast<unsigned char>(file[0]) | static_cast<unsigned char>(file[1]) << 8;
  EXPECT_EQ(next, 5u + 20 + 2 * 25 * 80 + 5);
  windows.PopWindow();
  EXPECT_EQ(Snapshot(), original);
  EXPECT_FALSE(WindowFileExists());
}

TEST_F(WindowStackTest, RectangleOutsideTheScreenIsNotSaved) {
  const struct { std::int16_t t, l, b, r; } cases[] = {
      {5, 10, 26, 20}, {0, 10, 7, 20}, {5, 0, 7, 20}, {5, 10, 7, 81}};
  for (const auto& c : cases) {
    windows.PushWindow(c.t, c.l, c.b, c.r);
    EXPECT_EQ(screen.Window().depth, 0);
    EXPECT_FALSE(WindowFileExists());
  }
}

TEST_F(WindowStackTest, PopWithoutARecordChangesNothing) {
  windows.PopWindow();
  EXPECT_EQ(Snapshot(), original);
  EXPECT_FALSE(WindowFileExists());
}

TEST_F(WindowStackTest, AnExistingFileIsContinued) {
  windows.PushWindow(5, 10, 7, 20);
  // A new run: the stack in memory starts empty, the file is still there.
  Screen otherScreen(console, colours);
  WindowStack other(otherScreen, work.Prefix());
  console.SetCursorPosition(1, 1);
  other.PushWindow(1, 1, 2, 2);
  const std::string file = WindowFile();
  EXPECT_EQ(file.size(), 95u + 20 + 8 + 5);
  EXPECT_EQ(file.substr(95, 12), "010100000000");
}

TEST_F(WindowStackTest, DamagedFilesNeverRestoreWhatTheyCannotRead) {
  const auto header = [](std::uint32_t next) {
    return std::string{static_cast<char>(next & 0xff), static_cast<char>((next >> 8) & 0xff), 0, 0};
  };
  console.SetCursorPosition(12, 3);
  windows.PushWindow(5, 10, 7, 20);
  const std::string good = WindowFile();
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"header beyond the file", header(5000) + good.substr(4)},
      {"header inside the first fields", header(10) + good.substr(4)},
      {"negative header", std::string("\xff\xff\xff\xff", 4) + good.substr(4)},
      {"length not digits", good.substr(0, 90) + "00a91"},
      {"length longer than the file", good.substr(0, 90) + "99999"},
      {"cells not matching the rectangle", good.substr(0, 20) + "08" + good.substr(22)},
      {"field not digits", good.substr(0, 6) + "x" + good.substr(7)},
      {"cut record", good.substr(0, 60)},
  };
  for (const auto& c : cases) {
    work.Write("WinPush.tmp", c.bytes);
    Scribble();
    const auto before = Snapshot();
    const CurrentWindow window = screen.Window();
    windows.PopWindow();
    EXPECT_EQ(Snapshot(), before) << c.what;
    EXPECT_EQ(screen.Window(), window) << c.what;
    // The unreadable file is dropped so that the next push starts a sound one.
    windows.PushWindow(1, 1, 1, 1);
    EXPECT_EQ(WindowFile().size(), 4u + 20 + 2 + 5) << c.what;
    windows.PopWindow();
  }
}

TEST_F(WindowStackTest, FramesOfEachStyle) {
  windows.PushWindow(5, 10, 7, 20);
  windows.DrawFrame(1);
  EXPECT_EQ(console.RowText(5, 10, 11), "\xda" + std::string(9, '\xc4') + "\xbf");
  EXPECT_EQ(console.RowText(6, 10, 11), "\xb3" + std::string(9, ' ') + "\xb3");
  EXPECT_EQ(console.RowText(7, 10, 11), "\xc0" + std::string(9, '\xc4') + "\xd9");
  windows.DrawFrame(2);
  EXPECT_EQ(console.RowText(5, 10, 11), "\xc9" + std::string(9, '\xcd') + "\xbb");
  EXPECT_EQ(console.RowText(7, 20, 1), "\xbc");
  windows.DrawFrame(0);
  EXPECT_EQ(console.RowText(5, 10, 11), std::string(11, ' '));
  windows.DrawFrame(7);
  EXPECT_EQ(console.RowText(5, 10, 11), std::string(11, '\0'));
  EXPECT_EQ(console.RowText(6, 11, 9), std::string(9, ' '));
}

TEST_F(WindowStackTest, FrameWithoutAWindowDrawsNothing) {
  windows.DrawFrame(1);
  EXPECT_EQ(Snapshot(), original);
}

TEST_F(WindowStackTest, MessageBoxIsCentredAndLeftPushed) {
  std::string text = "0123456789";
  windows.ShowMessage(12, text);
  EXPECT_EQ(text.size(), 76u);
  EXPECT_EQ(screen.Window(), (CurrentWindow{1, 9, 34, 11, 47}));
  EXPECT_EQ(console.RowText(10, 36, 10), "0123456789");
  EXPECT_EQ(console.RowText(9, 34, 1), "\xda");
  EXPECT_EQ(console.RowText(11, 47, 1), "\xd9");
  EXPECT_EQ(console.AttributeAt(10, 36), testing::kReverse);
  EXPECT_TRUE(screen.ClassStack().empty());
  windows.PopWindow();
  EXPECT_EQ(Snapshot(), original);
}

TEST_F(WindowStackTest, MessageTooTallForTheScreenIsNotShown) {
  screen.SetColourClass("n");
  std::string text;
  for (int i = 0; i < 30; ++i) text += std::string(70, 'x') + " ";
  windows.ShowMessage(12, text);
  EXPECT_EQ(Snapshot(), original);
  EXPECT_EQ(screen.Window().depth, 0);
  EXPECT_EQ(screen.CurrentClass(), 1);
  EXPECT_TRUE(screen.ClassStack().empty());
}

TEST_F(WindowStackTest, MessageNearTheBottomMovesUp) {
  std::string text = std::string(70, 'a') + " " + std::string(70, 'b') + " " + std::string(70, 'c');
  windows.ShowMessage(26, text);
  EXPECT_EQ(screen.Window().bottom, 25);
  EXPECT_EQ(screen.Window().top, 21);
  EXPECT_EQ(console.RowText(24, 6, 70), std::string(70, 'c'));
}

}  // namespace
}  // namespace duv
