#include "console/Help.h"

#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "session/TextHelpers.h"
#include "support/ConsoleFixture.h"

namespace duv {
namespace {

using testing::ConsoleFixture;

class RecordingLauncher : public ProgramLauncher {
 public:
  int Run(const std::string& program, const std::vector<std::string>& arguments) override {
    runs.push_back({program, arguments});
    return 0;
  }
  std::vector<std::pair<std::string, std::vector<std::string>>> runs;
};

// Help files are read relative to the current directory: each test works in its own.
class HelpTest : public ConsoleFixture {
 protected:
  HelpTest() : help(screen, windows, keyboard, settings, launcher) {}
  void SetUp() override {
    previous = std::filesystem::current_path();
    std::filesystem::current_path(work.Path());
  }
  void TearDown() override { std::filesystem::current_path(previous); }

  // A topic of `lines` records of 80 bytes, each "Line NN" padded.
  void WriteTopic(const std::string& topic, int lines) {
    std::string bytes;
    for (int i = 1; i <= lines; ++i) {
      std::string record = "Line " + std::to_string(i);
      record.resize(78, ' ');
      bytes += record + "\r\n";
    }
    work.Write("AJUDA/" + topic + ".HLP", bytes);
  }
  // The first window row's text (window rows 5 to 21, text from column 3).
  std::string Shown(int windowRow) const {
    return std::string(TrimTrailingBlanks(console.RowText(static_cast<std::int16_t>(4 + windowRow), 3, 76)));
  }
  std::pair<std::string, std::string> FirstAndLast() const { return {Shown(1), Shown(17)}; }

  std::filesystem::path previous;
  SessionSettings settings;
  RecordingLauncher launcher;
  Help help;
};

TEST_F(HelpTest, WindowFrameAndFirstPage) {
  WriteTopic("M01", 40);
  console.Fill('.', 0x07);
  std::string topRow, firstText, lastText;
  std::uint8_t frameAttribute = 0;
  console.QueueAction([&] {
    topRow = console.RowText(4);
    firstText = console.RowText(5, 1, 12);
    lastText = Shown(17);
    frameAttribute = console.AttributeAt(4, 1);
  });
  console.QueueKey(keys::kEsc);
  help.ShowHelp("M01");
  EXPECT_EQ(topRow, "\xc9" + std::string(78, '\xcd') + "\xbb");
  EXPECT_EQ(firstText, "\xba Line 1    ");
  EXPECT_EQ(lastText, "Line 17");
  EXPECT_EQ(frameAttribute, testing::kHighlight);
  // Esc restores the screen and the colour class.
  EXPECT_EQ(console.RowText(4), std::string(80, '.'));
  EXPECT_EQ(console.RowText(22), std::string(80, '.'));
  EXPECT_EQ(screen.Window().depth, 0);
  EXPECT_TRUE(screen.ClassStack().empty());
  EXPECT_FALSE(WindowFileExists());
}

TEST_F(HelpTest, ScrollingKeys) {
  WriteTopic("M01", 40);
  using Page = std::pair<std::string, std::string>;
  std::vector<Page> pages;
  const auto look = [&] { console.QueueAction([&] { pages.push_back(FirstAndLast()); }); };
  for (const auto key : {keys::kPgDn, keys::kPgDn, keys::kPgDn, keys::kPgUp, keys::kHome, keys::kUp,
                         keys::kDown, keys::kEnd, keys::kDown, keys::kUp, keys::kPgUp, keys::kPgUp}) {
    console.QueueKey(key);
    look();
  }
  console.QueueKey(keys::kEsc);
  help.ShowHelp("M01");
  const std::vector<Page> expected = {
      {"Line 18", "Line 34"},  // PgDn
      {"Line 24", "Line 40"},  // PgDn: the last page ends on the last line
      {"Line 24", "Line 40"},  // PgDn at the end does nothing
      {"Line 8", "Line 24"},   // PgUp: the old first line stays as the last
      {"Line 1", "Line 17"},   // Home
      {"Line 1", "Line 17"},   // Up on the first page does nothing
      {"Line 2", "Line 18"},   // Down
      {"Line 24", "Line 40"},  // End
      {"Line 24", "Line 40"},  // Down at the end does nothing
      {"Line 23", "Line 39"},  // Up
      {"Line 7", "Line 23"},   // PgUp
      {"Line 1", "Line 17"},   // PgUp stops at the start
  };
  EXPECT_EQ(pages, expected);
}

TEST_F(HelpTest, MarkupSwitchesColourTheText) {
  std::string record = "Press \x1e" "F1\x1e for \x1f" "help\x1f and \x10more\x10.";
  record.resize(80, ' ');
  work.Write("AJUDA/M02.HLP", record);
  std::string text;
  std::vector<std::uint8_t> attributes;
  console.QueueAction([&] {
    text = Shown(1);
    for (int c = 3; c <= 30; ++c) attributes.push_back(console.AttributeAt(5, static_cast<std::int16_t>(c)));
  });
  console.QueueKey(keys::kEsc);
  help.ShowHelp("M02");
  EXPECT_EQ(text, "Press F1 for help and more.");
  EXPECT_EQ(attributes[0], testing::kNormal);    // P
  EXPECT_EQ(attributes[6], testing::kHighlight);  // F
  EXPECT_EQ(attributes[7], testing::kHighlight);  // 1
  EXPECT_EQ(attributes[8], testing::kNormal);     // blank
  EXPECT_EQ(attributes[13], testing::kReverse);   // h of help (underline class)
  EXPECT_EQ(attributes[22], testing::kReverse);   // m of more (reverse class)
  EXPECT_EQ(attributes[26], testing::kNormal);    // the full stop
}

TEST_F(HelpTest, HighlightInsideUnderlineKeepsTheUnderline) {
  std::string record = "\x1f" "a\x1e" "b\x1e" "c\x1f" "d";
  record.resize(80, ' ');
  work.Write("AJUDA/M03.HLP", record);
  std::vector<std::uint8_t> attributes;
  console.QueueAction([&] {
    for (int c = 3; c <= 6; ++c) attributes.push_back(console.AttributeAt(5, static_cast<std::int16_t>(c)));
  });
  console.QueueKey(keys::kEsc);
  help.ShowHelp("M03");
  EXPECT_EQ(attributes, (std::vector<std::uint8_t>{testing::kReverse, testing::kReverse,
                                                   testing::kReverse, testing::kNormal}));
}

TEST_F(HelpTest, OnlySeventySixCharactersOfALineShow) {
  work.Write("AJUDA/M04.HLP", std::string(80, 'w'));
  std::string row;
  console.QueueAction([&] { row = console.RowText(5); });
  console.QueueKey(keys::kEsc);
  help.ShowHelp("M04");
  EXPECT_EQ(row, "\xba " + std::string(76, 'w') + " \xba");
}

TEST_F(HelpTest, MissingOrShortFileShowsBlankLines) {
  WriteTopic("M05", 3);
  std::string third, fourth;
  console.QueueAction([&] {
    third = Shown(3);
    fourth = console.RowText(8, 2, 78);
  });
  console.QueueKey(keys::kPgDn);
  console.QueueKey(keys::kEsc);
  help.ShowHelp("M05");
  EXPECT_EQ(third, "Line 3");
  EXPECT_EQ(fourth, std::string(78, ' '));

  std::string missing;
  console.QueueAction([&] { missing = console.RowText(5, 2, 78); });
  console.QueueKey(keys::kEsc);
  help.ShowHelp("NOWHERE");
  EXPECT_EQ(missing, std::string(78, ' '));
  EXPECT_FALSE(console.RanDry());
}

TEST_F(HelpTest, F1OpensTheGeneralTopicOnceOnly) {
  WriteTopic("M01", 20);
  std::string general = "General help";
  general.resize(80, ' ');
  work.Write("AJUDA/UUTIMENU.HLP", general);
  std::string nested, afterNested;
  console.QueueKey(keys::kF1);
  console.QueueAction([&] { nested = Shown(1); });
  console.QueueKey(keys::kF1);  // inside UUTIMENU: nothing
  console.QueueAction([&] { EXPECT_EQ(screen.Window().depth, 2); });
  console.QueueKey(keys::kEsc);
  console.QueueAction([&] { afterNested = Shown(1); });
  console.QueueKey(keys::kEsc);
  help.ShowHelp("M01");
  EXPECT_EQ(nested, "General help");
  EXPECT_EQ(afterNested, "Line 1");
  EXPECT_EQ(screen.Window().depth, 0);
}

TEST_F(HelpTest, WindowsModeHandsThePageToTheOpenerAsOneArgument) {
  settings.systemMode = "WIN";
  const std::string exe = work.Prefix() + "bin/";
  work.Write("bin/DAZAVE", "#!/bin/sh\n");
  std::filesystem::permissions(work.Path() / "bin/DAZAVE", std::filesystem::perms::owner_all);
  settings.exeDir = exe;
  help.ShowHelp("M01; rm -rf x");
  ASSERT_EQ(launcher.runs.size(), 1u);
  EXPECT_EQ(launcher.runs[0].first, exe + "DAZAVE");
  EXPECT_EQ(launcher.runs[0].second, (std::vector<std::string>{"AJUDA/M01; rm -rf x.HTM"}));
  EXPECT_EQ(console.Suspensions(), 1);
  EXPECT_EQ(console.EventsRead(), 0);
}

TEST_F(HelpTest, WindowsModeWithoutAnOpenerDoesNothing) {
  settings.systemMode = "WIN";
  settings.exeDir = work.Prefix() + "nowhere/";
  const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  ::setenv("PATH", work.Path().c_str(), 1);
  help.ShowHelp("M01");
  ::setenv("PATH", path.c_str(), 1);
  EXPECT_TRUE(launcher.runs.empty());
  EXPECT_EQ(console.Suspensions(), 0);
  EXPECT_EQ(screen.Window().depth, 0);
}

}  // namespace
}  // namespace duv
