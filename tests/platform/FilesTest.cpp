#include "platform/Files.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace duv {
namespace {

TEST(Files, ReadsRegularFilesOnly) {
  testing::TempDir dir;
  dir.Write("Zuli.ini", std::string("a\0b\r\n", 5));
  dir.Write("folder/inner", "x");
  EXPECT_EQ(ReadFileBytes(dir.Prefix() + "ZULI.INI"), std::string("a\0b\r\n", 5));
  EXPECT_FALSE(ReadFileBytes(dir.Prefix() + "missing.ini"));
  EXPECT_FALSE(ReadFileBytes(dir.Prefix() + "folder"));
  EXPECT_FALSE(ReadFileBytes("/dev/null"));
  ASSERT_EQ(::mkfifo((dir.Path() / "pipe").c_str(), 0600), 0);
  EXPECT_FALSE(ReadFileBytes(dir.Prefix() + "pipe"));  // and does not block on it
}

TEST(Files, EnsureFileExistsCreatesOnlyWhatIsMissing) {
  testing::TempDir dir;
  dir.Write("LOCALE/keep.lng", "entries");
  EXPECT_TRUE(EnsureFileExists(dir.Prefix() + "locale\\KEEP.LNG"));
  EXPECT_EQ(dir.Read("LOCALE/keep.lng"), "entries");
  EXPECT_TRUE(EnsureFileExists(dir.Prefix() + "LOCALE\\NEW.LNG"));
  EXPECT_TRUE(dir.Exists("LOCALE/NEW.LNG"));
  EXPECT_FALSE(EnsureFileExists(dir.Prefix() + "NOFOLDER\\NEW.LNG"));
  EXPECT_FALSE(EnsureFileExists(dir.Prefix() + "LOCALE"));
}

TEST(Files, OutputFileReplacesAndReportsFailure) {
  testing::TempDir dir;
  dir.Write("out.tmp", "old contents that are longer");
  OutputFile file;
  ASSERT_TRUE(file.Create(dir.Prefix() + "OUT.TMP"));
  EXPECT_TRUE(file.Write("new"));
  EXPECT_TRUE(file.Close());
  EXPECT_EQ(dir.Read("out.tmp"), "new");

  OutputFile nowhere;
  EXPECT_FALSE(nowhere.Create(dir.Prefix() + "missing\\out.tmp"));
  EXPECT_FALSE(nowhere.Write("lost"));
  EXPECT_FALSE(nowhere.Close());

  ASSERT_EQ(::mkfifo((dir.Path() / "pipe").c_str(), 0600), 0);
  OutputFile pipe;
  EXPECT_FALSE(pipe.Create(dir.Prefix() + "pipe"));  // refused at once, not left waiting for a reader

  OutputFile full;
  ASSERT_TRUE(full.Create("/dev/full"));
  full.Write(std::string(100000, 'x'));
  EXPECT_FALSE(full.Close());
}

}  // namespace
}  // namespace duv
