#include "platform/Clipboard.h"

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace duv {
namespace {

// The desktop tools are found on PATH: a stand-in records what it was given.
class DesktopClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedPath_ = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::unsetenv("WAYLAND_DISPLAY");
    ::setenv("DISPLAY", ":77", 1);
    ::setenv("PATH", (dir.Path().string() + ":/usr/bin:/bin").c_str(), 1);
  }
  void TearDown() override {
    ::setenv("PATH", savedPath_.c_str(), 1);
    ::unsetenv("DISPLAY");
  }
  void AddTool(const std::string& name) {
    dir.Write(name, "#!/bin/sh\necho \"$@\" > '" + dir.Prefix() + name + ".args'\ncat > '" + dir.Prefix() +
                        name + ".text'\n");
    std::filesystem::permissions(dir.Path() / name, std::filesystem::perms::owner_all);
  }
  testing::TempDir dir;
  std::string savedPath_;
};

TEST_F(DesktopClipboardTest, CopyReachesXclipAsUtf8AndPastesBackAsCopied) {
  AddTool("xclip");
  DesktopClipboard clipboard;
  std::string terminal;
  clipboard.SetTerminalSink([&](const std::string& bytes) { terminal = bytes; });
  clipboard.SetText("Pere \x82s");  // "Pere és" in code page 850
  EXPECT_EQ(clipboard.Text(), "Pere \x82s");
  EXPECT_EQ(dir.Read("xclip.text"), "Pere \xc3\xa9s");
  EXPECT_EQ(dir.Read("xclip.args"), "-selection clipboard\n");
  EXPECT_TRUE(terminal.empty());
}

TEST_F(DesktopClipboardTest, WithoutADesktopToolTheTerminalGetsIt) {
  DesktopClipboard clipboard;
  std::string terminal;
  clipboard.SetTerminalSink([&](const std::string& bytes) { terminal = bytes; });
  ::unsetenv("DISPLAY");
  clipboard.SetText("ab");
  EXPECT_EQ(terminal, "\x1b]52;c;YWI=\x07");
  EXPECT_EQ(clipboard.Text(), "ab");
}

}  // namespace
}  // namespace duv
