#include "report/PrintStream.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace duv {
namespace {

class PrintStreamTest : public ::testing::Test {
 protected:
  PrintStreamTest() { settings_.workDir = dir_.Prefix() + "work\\"; }
  void SetUp() override { std::filesystem::create_directories(dir_.Path() / "work"); }
  std::string Stream() const { return dir_.Read("work/duvprint.tmp"); }

  testing::TempDir dir_;
  SessionSettings settings_;
  PrintStream stream_{settings_};
};

TEST(StreamNumber, FixedForm) {
  EXPECT_EQ(StreamNumber(66), " 66 ");
  EXPECT_EQ(StreamNumber(0), " 0 ");
  EXPECT_EQ(StreamNumber(-1), "-1 ");
  EXPECT_EQ(StreamNumber(-32768), "-32768 ");
}

TEST_F(PrintStreamTest, WritesTheLinesOfAReport) {
  stream_.OpenPrintStream("PDF");
  stream_.WritePageDirective(66);
  stream_.WriteControlLine("@e");
  std::string code = "r";
  stream_.WriteJustification(code);
  EXPECT_EQ(code, "D");
  stream_.WriteTextRecord(85, "TOTAL", 1);
  stream_.WriteTextRecord(0, "", 2);
  EXPECT_TRUE(stream_.ClosePrintStream());
  EXPECT_EQ(Stream(),
            "DEVICEPDF\r\n"
            "PAGE 66 \r\n"
            "*@e\r\n"
            "JUSD\r\n"
            " 85 ,TOTAL, 1 \r\n"
            " 0 ,, 2 \r\n");
}

TEST_F(PrintStreamTest, AnEmptyReportIsTheDeviceLineAlone) {
  stream_.OpenPrintStream("");
  EXPECT_TRUE(stream_.ClosePrintStream());
  EXPECT_EQ(Stream(), "DEVICE\r\n");
}

TEST_F(PrintStreamTest, ControlBytesBecomeBlanks) {
  stream_.OpenPrintStream("LP\r\nPAGE 1");
  stream_.WritePageDirective(66);
  const std::string text = std::string("a\tb\rc\0d\x7F" "e\xFF" "f\x80\xE9", 13);
  stream_.WriteTextRecord(1, text, 1);
  stream_.ClosePrintStream();
  EXPECT_EQ(Stream(), "DEVICELP  PAGE 1\r\nPAGE 66 \r\n 1 ,a b c d e f\x80\xE9, 1 \r\n");
  EXPECT_EQ(text.size(), 13u);  // the caller's text is not changed
  EXPECT_EQ(text[1], '\t');
}

TEST_F(PrintStreamTest, AFullPageStartsANewOneWithTheSameLength) {
  stream_.OpenPrintStream("TXT");
  stream_.WritePageDirective(3);
  stream_.WriteTextRecord(1, "a", 2);
  EXPECT_EQ(stream_.LinesOnPage(), 2);
  stream_.WriteTextRecord(1, "b", 0);
  EXPECT_EQ(stream_.LinesOnPage(), 2);
  stream_.WriteTextRecord(1, "c", 1);
  EXPECT_EQ(stream_.LinesOnPage(), 3);
  stream_.WriteTextRecord(1, "d", 2);  // the page is full: a directive first
  EXPECT_EQ(stream_.LinesOnPage(), 2);
  stream_.ClosePrintStream();
  EXPECT_EQ(Stream(),
            "DEVICETXT\r\nPAGE 3 \r\n 1 ,a, 2 \r\n 1 ,b, 0 \r\n 1 ,c, 1 \r\nPAGE 3 \r\n 1 ,d, 2 \r\n");
}

TEST_F(PrintStreamTest, CountersSurviveFromOneStreamToTheNext) {
  stream_.OpenPrintStream("PDF");
  stream_.WritePageDirective(2);
  stream_.WriteTextRecord(1, "a", 5);
  stream_.ClosePrintStream();
  stream_.OpenPrintStream("PDF");
  EXPECT_EQ(stream_.LinesOnPage(), 5);
  EXPECT_EQ(stream_.PageLength(), 2);
  stream_.WriteTextRecord(1, "b", 1);
  stream_.ClosePrintStream();
  EXPECT_EQ(Stream(), "DEVICEPDF\r\nPAGE 2 \r\n 1 ,b, 1 \r\n");  // replaced, not appended
}

TEST(Justification, NormalisedCodes) {
  struct Case {
    std::string code;
    std::string normalised;
  };
  const Case cases[] = {
      {"r", "D"},   {" d", "D"},     {"Right", "D"}, {"", "E"},       {"e", "E"},
      {"x", "E"},   {"c", "C"},      {"a", "A"},     {"B", "A"},      {"   ", "E"},
      {"n12\\ZZ9\\", "N 12 \\ZZ9\\"}, {"N 7.9 \\99\\ rest\\", "N 7 \\99\\"},
      {"n-3\\Z\\", "N 3 \\Z\\"},     {"N", "N 0 "},  {"Nx\\only one", "N 0 "},
  };
  for (const Case& c : cases) EXPECT_EQ(NormaliseJustification(c.code), c.normalised) << c.code;
}

TEST_F(PrintStreamTest, AStreamThatCannotBeCreatedWritesNothingAndTheCallerGoesOn) {
  settings_.workDir = dir_.Prefix() + "missing\\";
  stream_.OpenPrintStream("PDF");
  stream_.WritePageDirective(66);
  stream_.WriteTextRecord(1, "lost", 1);
  EXPECT_EQ(stream_.LinesOnPage(), 1);
  EXPECT_FALSE(stream_.ClosePrintStream());
  EXPECT_FALSE(dir_.Exists("missing"));

  settings_.workDir = dir_.Prefix() + "work\\";
  stream_.OpenPrintStream("PDF");
  EXPECT_TRUE(stream_.ClosePrintStream());  // a later stream is written again
  EXPECT_EQ(Stream(), "DEVICEPDF\r\n");
}

}  // namespace
}  // namespace duv
