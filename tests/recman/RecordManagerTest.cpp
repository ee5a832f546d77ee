#include "recman/RecordManager.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>

#include <sys/wait.h>
#include <unistd.h>

#include "support/RecordFiles.h"
#include "support/TempDir.h"

namespace duv::recman {
namespace {

using testing::Definition;
using testing::Record;
using testing::RecordFile;
using testing::Segment;

// Records of 12 bytes: a 2-byte unique key 0, then a 4-byte key 1 with duplicates.
class RecordManagerTest : public ::testing::Test {
 protected:
  RecordManagerTest() : file(manager) {}

  void SetUp() override {
    path = dir.Prefix() + "test.dat";
    ASSERT_EQ(file.Create(path, Definition(12, {{Segment(1, 2)}, {Segment(3, 4, keyflag::kDuplicates | keyflag::kModifiable)}})), 0);
    ASSERT_EQ(file.Open(path), 0);
  }

  void Load(std::initializer_list<const char*> records) {
    for (const char* r : records) ASSERT_EQ(file.Insert(Record(r, 12)), 0) << r;
  }

  // The first `length` bytes of the records along a key, read with Get First and Get Next.
  std::vector<std::string> Walk(RecordFile& f, std::int8_t key = 0, std::size_t length = 8) {
    std::vector<std::string> seen;
    for (std::int16_t s = f.Get(op::kGetFirst, "", key); s == 0; s = f.Get(op::kGetNext, "", key)) {
      seen.push_back(f.record.substr(0, length));
    }
    return seen;
  }

  testing::TempDir dir;
  std::string path;
  RecordManager manager;
  RecordFile file;
};

TEST_F(RecordManagerTest, KeyedGetsFindTheirRecordAndReportMisses) {
  Load({"10AAAA1", "20BBBB2", "30CCCC3"});
  struct Case {
    std::int16_t operation;
    const char* key;
    std::int16_t status;
    const char* found;  // first 2 bytes of the record
  };
  const Case cases[] = {
      {op::kGetEqual, "20", 0, "20"},         {op::kGetEqual, "25", 4, nullptr},
      {op::kGetGreater, "20", 0, "30"},       {op::kGetGreater, "30", 9, nullptr},
      {op::kGetGreaterOrEqual, "20", 0, "20"}, {op::kGetGreaterOrEqual, "25", 0, "30"},
      {op::kGetGreaterOrEqual, "31", 9, nullptr}, {op::kGetLess, "20", 0, "10"},
      {op::kGetLess, "10", 9, nullptr},       {op::kGetLessOrEqual, "25", 0, "20"},
      {op::kGetLessOrEqual, "09", 9, nullptr}, {op::kGetFirst, "", 0, "10"},
      {op::kGetLast, "", 0, "30"},
  };
  for (const Case& c : cases) {
    std::string key = c.key;
    key.resize(2, ' ');
    file.record.clear();
    EXPECT_EQ(file.Get(c.operation, key), c.status) << c.operation << " " << c.key;
    if (c.found) {
      EXPECT_EQ(file.record.substr(0, 2), c.found) << c.operation << " " << c.key;
      EXPECT_EQ(file.record.size(), 12u);
      EXPECT_EQ(file.Key(2), c.found) << "the key buffer holds the record's key";
    }
  }
}

TEST_F(RecordManagerTest, NextAndPreviousFollowTheKeyFromTheCurrentRecord) {
  Load({"30CCCC", "10AAAA", "20BBBB"});
  RecordFile fresh(manager);
  ASSERT_EQ(fresh.Open(path), 0);
  EXPECT_EQ(fresh.Get(op::kGetNext), 8) << "no position yet";
  ASSERT_EQ(file.Get(op::kGetEqual, "20"), 0);
  EXPECT_EQ(file.Get(op::kGetNext), 0);
  EXPECT_EQ(file.record.substr(0, 2), "30");
  EXPECT_EQ(file.Get(op::kGetNext), 9);
  EXPECT_EQ(file.Get(op::kGetPrevious), 0);
  EXPECT_EQ(file.record.substr(0, 2), "20");
  EXPECT_EQ(file.Get(op::kGetPrevious), 0);
  EXPECT_EQ(file.record.substr(0, 2), "10");
  EXPECT_EQ(file.Get(op::kGetPrevious), 9);
  EXPECT_EQ(file.Get(op::kGetNext, "", 1), 7) << "a different key number";
  EXPECT_EQ(file.Get(op::kGetEqual, "1", 0), 21) << "a key length shorter than the key";
  EXPECT_EQ(file.Get(op::kGetFirst, "", 2), 6) << "no key 2";
}

TEST_F(RecordManagerTest, DuplicatesKeepTheOrderTheyWereWritten) {
  Load({"01DUPL1", "02AAAA", "03DUPL2", "04DUPL3", "05ZZZZ"});
  EXPECT_EQ(Walk(file, 1, 7), (std::vector<std::string>{"02AAAA ", "01DUPL1", "03DUPL2", "04DUPL3", "05ZZZZ "}));
  ASSERT_EQ(file.Get(op::kGetEqual, "DUPL", 1), 0);
  EXPECT_EQ(file.record.substr(0, 2), "01") << "Get Equal gives the first of the run";
  ASSERT_EQ(file.Get(op::kGetGreaterOrEqual, "DUPL", 1), 0);
  EXPECT_EQ(file.record.substr(0, 2), "01");
  ASSERT_EQ(file.Get(op::kGetLessOrEqual, "DUPL", 1), 0);
  EXPECT_EQ(file.record.substr(0, 2), "04") << "Less or Equal gives the last of the run";
  ASSERT_EQ(file.Get(op::kGetLess, "ZZZZ", 1), 0);
  EXPECT_EQ(file.record.substr(0, 2), "04");
  EXPECT_EQ(file.Get(op::kGetPrevious, "", 1), 0);
  EXPECT_EQ(file.record.substr(0, 2), "03");

  // A record whose key changes joins the end of its new run.
  ASSERT_EQ(file.Get(op::kGetEqual, "02", 0), 0);
  ASSERT_EQ(file.Update(Record("02DUPL0", 12)), 0);
  EXPECT_EQ(Walk(file, 1, 2), (std::vector<std::string>{"01", "03", "04", "02", "05"}));
}

TEST_F(RecordManagerTest, AUniqueKeyRefusesASecondRecordAndKeepsTheFile) {
  RecordFile f(manager);
  const std::string unique = dir.Prefix() + "unique.dat";
  ASSERT_EQ(f.Create(unique, Definition(6, {{Segment(1, 2, keyflag::kModifiable)}})), 0);
  ASSERT_EQ(f.Open(unique), 0);
  ASSERT_EQ(f.Insert("10AAAA"), 0);
  ASSERT_EQ(f.Insert("20BBBB"), 0);
  EXPECT_EQ(f.Insert("10XXXX"), 5);
  ASSERT_EQ(f.Get(op::kGetEqual, "20"), 0);
  EXPECT_EQ(f.Update("10BBBB"), 5);
  EXPECT_EQ(Walk(f, 0, 6), (std::vector<std::string>{"10AAAA", "20BBBB"}));
  std::string stat;
  ASSERT_EQ(f.Stat(stat), 0);
  EXPECT_EQ(static_cast<std::uint8_t>(stat[6]), 2) << "record count";
  EXPECT_EQ(f.Update("30BBBB"), 0) << "the refused update left the record current";
}

TEST_F(RecordManagerTest, KeysThatAreNotModifiableRefuseAChange) {
  Load({"10AAAA"});
  ASSERT_EQ(file.Get(op::kGetEqual, "10"), 0);
  EXPECT_EQ(file.Update(Record("11AAAA", 12)), 10);
  EXPECT_EQ(file.Update(Record("10AAAB+", 12)), 0) << "key 1 is modifiable";
  ASSERT_EQ(file.Get(op::kGetEqual, "AAAB", 1), 0);
  EXPECT_EQ(file.record.substr(0, 7), "10AAAB+");
}

TEST_F(RecordManagerTest, DeleteKeepsThePlaceBetweenItsNeighbours) {
  Load({"10", "20", "30"});
  ASSERT_EQ(file.Get(op::kGetEqual, "20"), 0);
  ASSERT_EQ(file.Delete(), 0);
  EXPECT_EQ(file.Delete(), 8) << "the current record is gone";
  std::uint32_t position = 0;
  EXPECT_EQ(file.GetPosition(position), 8);
  EXPECT_EQ(file.Get(op::kGetNext), 0);
  EXPECT_EQ(file.record.substr(0, 2), "30");
  ASSERT_EQ(file.Get(op::kGetEqual, "30"), 0);
  ASSERT_EQ(file.Delete(), 0);
  EXPECT_EQ(file.Get(op::kGetPrevious), 0);
  EXPECT_EQ(file.record.substr(0, 2), "10");
}

TEST_F(RecordManagerTest, PositionsFetchTheirRecordAndAreNeverGivenAgain) {
  Load({"10AAAA", "20BBBB", "30CCCC"});
  ASSERT_EQ(file.Get(op::kGetEqual, "20"), 0);
  std::uint32_t twenty = 0;
  ASSERT_EQ(file.GetPosition(twenty), 0);
  EXPECT_NE(twenty, 0u);
  ASSERT_EQ(file.Get(op::kGetFirst), 0);
  ASSERT_EQ(file.GetDirect(twenty, 1), 0);
  EXPECT_EQ(file.record.substr(0, 6), "20BBBB");
  EXPECT_EQ(file.Get(op::kGetNext, "", 1), 0) << "Get Direct set the position on key 1";
  EXPECT_EQ(file.record.substr(0, 2), "30");

  ASSERT_EQ(file.GetDirect(twenty), 0);
  ASSERT_EQ(file.Delete(), 0);
  ASSERT_EQ(file.Insert(Record("20NEW", 12)), 0);
  std::uint32_t fresh = 0;
  ASSERT_EQ(file.GetPosition(fresh), 0);
  EXPECT_GT(fresh, twenty);
  EXPECT_EQ(file.GetDirect(twenty), 43) << "a stale position";
  EXPECT_EQ(file.GetDirect(0), 43);
  EXPECT_EQ(file.GetDirect(99999), 43);
}

TEST_F(RecordManagerTest, AShortDataBufferGetsWhatFitsAndStatus22) {
  Load({"10ABCDEFGHIJ"});
  EXPECT_EQ(file.Get(op::kGetEqual, "10", 0, 5), 22);
  EXPECT_EQ(file.record, "10ABC");
  EXPECT_EQ(file.Get(op::kGetNext), 9) << "the position was still taken";
  EXPECT_EQ(file.Insert("short"), 22) << "an insert needs the whole record";
}

TEST_F(RecordManagerTest, StatGivesTheDefinitionWithTheRecordCount) {
  Load({"10", "20", "30"});
  std::string stat;
  ASSERT_EQ(file.Stat(stat), 0);
  ASSERT_EQ(stat.size(), 16u + 2 * 16u);
  EXPECT_EQ(static_cast<std::uint8_t>(stat[0]), 12);
  EXPECT_EQ(static_cast<std::uint8_t>(stat[4]), 2);
  EXPECT_EQ(static_cast<std::uint8_t>(stat[6]), 3);
  EXPECT_EQ(static_cast<std::uint8_t>(stat[32 + 2]), 4) << "key 1 is 4 bytes";
  EXPECT_EQ(static_cast<std::uint8_t>(stat[32 + 4]), keyflag::kDuplicates | keyflag::kModifiable);

  // Another client's insert shows in the count.
  RecordManager other;
  RecordFile theirs(other);
  ASSERT_EQ(theirs.Open(path), 0);
  ASSERT_EQ(theirs.Insert(Record("40", 12)), 0);
  ASSERT_EQ(file.Stat(stat), 0);
  EXPECT_EQ(static_cast<std::uint8_t>(stat[6]), 4);
}

TEST_F(RecordManagerTest, TwoPositionBlocksKeepTheirOwnPlaces) {
  Load({"10", "20", "30", "40"});
  RecordFile second(manager);
  ASSERT_EQ(second.Open(path), 0);
  ASSERT_EQ(file.Get(op::kGetEqual, "10"), 0);
  ASSERT_EQ(second.Get(op::kGetEqual, "30"), 0);
  ASSERT_EQ(file.Get(op::kGetNext), 0);
  ASSERT_EQ(second.Get(op::kGetNext), 0);
  EXPECT_EQ(file.record.substr(0, 2), "20");
  EXPECT_EQ(second.record.substr(0, 2), "40");
  ASSERT_EQ(second.Close(), 0);
  EXPECT_EQ(second.Get(op::kGetFirst), 3) << "a closed block";
  EXPECT_EQ(file.Get(op::kGetNext), 0) << "the other block is still open";
}

TEST_F(RecordManagerTest, ResetClosesEverythingTheClientHolds) {
  std::uint32_t none = 0;
  std::uint8_t scratch[4] = {};
  std::array<std::uint8_t, kPositionBlockSize> blanks;
  blanks.fill(' ');
  EXPECT_EQ(manager.BTRCALL(op::kReset, blanks.data(), scratch, none, scratch, 0, 0), 0);
  EXPECT_EQ(file.Get(op::kGetFirst), 3);
  RecordFile garbage(manager);
  garbage.block.fill(0x55);
  EXPECT_EQ(garbage.Get(op::kGetFirst), 3) << "a block that was never opened";
}

TEST_F(RecordManagerTest, OpenAndCreateReportMissingExistingAndBadFiles) {
  RecordFile other(manager);
  EXPECT_EQ(other.Open(dir.Prefix() + "missing.dat"), 12);
  EXPECT_EQ(other.Create(path, Definition(12, {{Segment(1, 2)}}), -1), 59) << "-1 keeps an existing file";
  EXPECT_EQ(other.Create(dir.Prefix() + "bad.dat", Definition(12, {{Segment(11, 4)}})), 25);
  EXPECT_FALSE(dir.Exists("bad.dat"));
  dir.Write("garbage.dat", std::string(4096, 'x'));
  EXPECT_EQ(other.Open(dir.Prefix() + "garbage.dat"), 2);
  EXPECT_EQ(other.Open(""), 11);

  // The backslash form of a path, in any letter case, finds the file.
  std::string windowsForm = dir.Path().string() + "\\TEST.DAT";
  EXPECT_EQ(other.Open(windowsForm), 0);
}

TEST_F(RecordManagerTest, ReplacingAFileIsRefusedWhileItIsOpenAndEmptiesItOtherwise) {
  Load({"10"});
  RecordFile creator(manager);
  const FileDefinition definition = Definition(12, {{Segment(1, 2)}});
  EXPECT_EQ(creator.Create(path, definition, 0), 85);
  ASSERT_EQ(file.Close(), 0);
  ASSERT_EQ(creator.Create(path, definition, 0), 0);
  ASSERT_EQ(file.Open(path), 0);
  EXPECT_EQ(file.Get(op::kGetFirst), 9);
}

TEST_F(RecordManagerTest, ReadOnlyAndExclusiveOpens) {
  Load({"10"});
  RecordFile reader(manager);
  ASSERT_EQ(reader.Open(path, openmode::kReadOnly), 0);
  EXPECT_EQ(reader.Insert(Record("20", 12)), 46);
  ASSERT_EQ(reader.Get(op::kGetFirst), 0);

  RecordManager other;
  RecordFile exclusive(other);
  EXPECT_EQ(exclusive.Open(path, openmode::kExclusive), 85) << "others have it open";
  ASSERT_EQ(reader.Close(), 0);
  ASSERT_EQ(file.Close(), 0);
  ASSERT_EQ(exclusive.Open(path, openmode::kExclusive), 0);
  EXPECT_EQ(file.Open(path), 85);
  ASSERT_EQ(exclusive.Close(), 0);
  EXPECT_EQ(file.Open(path), 0);
}

TEST_F(RecordManagerTest, SingleRecordLocksStopOtherLockersButNotReaders) {
  Load({"10", "20"});
  RecordManager other;
  RecordFile theirs(other);
  ASSERT_EQ(theirs.Open(path), 0);

  ASSERT_EQ(file.Get(op::kGetEqual + op::kLockNoWait, "10"), 0);
  EXPECT_EQ(theirs.Get(op::kGetEqual + op::kLockNoWait, "10"), 84);
  EXPECT_EQ(theirs.Get(op::kGetNext), 8) << "a refused get takes no position";
  ASSERT_EQ(theirs.Get(op::kGetEqual, "10"), 0) << "a read without a lock";
  EXPECT_EQ(theirs.Update(Record("10CHANGED", 12)), 84);
  EXPECT_EQ(theirs.Delete(), 84);
  EXPECT_EQ(theirs.Get(op::kGetEqual + op::kLockNoWait, "20"), 0) << "another record is free";

  // A second position block of the same client is another user too.
  RecordFile mine(manager);
  ASSERT_EQ(mine.Open(path), 0);
  EXPECT_EQ(mine.Get(op::kGetEqual + op::kLockNoWait, "10"), 84);

  // A lock on another record releases the first; so do Unlock and Close.
  ASSERT_EQ(file.Get(op::kGetFirst + op::kLockNoWait), 0);
  ASSERT_EQ(file.Get(op::kGetLast + op::kLockNoWait), 84) << "20 is theirs";
  ASSERT_EQ(theirs.Call(op::kUnlock, 0), 0);
  ASSERT_EQ(file.Get(op::kGetLast + op::kLockNoWait), 0);
  EXPECT_EQ(mine.Get(op::kGetEqual + op::kLockNoWait, "10"), 0);
  ASSERT_EQ(mine.Close(), 0);
  EXPECT_EQ(theirs.Get(op::kGetEqual + op::kLockWait, "10"), 0);
}

TEST_F(RecordManagerTest, AnUpdateOfARecordChangedByAnotherUserIsAConflict) {
  Load({"10OLD"});
  RecordManager other;
  RecordFile theirs(other);
  ASSERT_EQ(theirs.Open(path), 0);
  ASSERT_EQ(file.Get(op::kGetEqual, "10"), 0);
  ASSERT_EQ(theirs.Get(op::kGetEqual, "10"), 0);
  ASSERT_EQ(theirs.Update(Record("10THEIRS", 12)), 0);
  EXPECT_EQ(file.Update(Record("10MINE", 12)), 80);
  ASSERT_EQ(file.Get(op::kGetEqual, "10"), 0);
  EXPECT_EQ(file.record.substr(0, 8), "10THEIRS");
}

TEST_F(RecordManagerTest, ReadsSeeWhatOtherClientsCommittedWhileReadingAhead) {
  Load({"10", "30", "50", "70"});
  RecordManager other;
  RecordFile writer(other);
  ASSERT_EQ(writer.Open(path), 0);
  ASSERT_EQ(file.Get(op::kGetFirst), 0);
  ASSERT_EQ(file.Get(op::kGetNext), 0);  // reads ahead past 30
  ASSERT_EQ(writer.Insert(Record("40", 12)), 0);
  ASSERT_EQ(writer.Get(op::kGetEqual, "50"), 0);
  ASSERT_EQ(writer.Delete(), 0);
  ASSERT_EQ(writer.Get(op::kGetEqual, "70"), 0);
  ASSERT_EQ(writer.Update(Record("70NEW", 12)), 0);
  std::vector<std::string> rest;
  while (file.Get(op::kGetNext) == 0) rest.push_back(file.record.substr(0, 5));
  EXPECT_EQ(rest, (std::vector<std::string>{"40   ", "70NEW"}));
}

TEST_F(RecordManagerTest, ATransactionIsKeptWholeOrNotAtAll) {
  Load({"10"});
  std::uint32_t none = 0;
  std::uint8_t scratch[4] = {};
  ASSERT_EQ(manager.BTRCALL(op::kBeginTransaction, file.block.data(), scratch, none, scratch, 0, 0), 0);
  EXPECT_EQ(manager.BTRCALL(op::kBeginTransaction, file.block.data(), scratch, none, scratch, 0, 0), 37);
  ASSERT_EQ(file.Insert(Record("20", 12)), 0);
  ASSERT_EQ(file.Insert(Record("30", 12)), 0);
  EXPECT_EQ(Walk(file, 0, 2), (std::vector<std::string>{"10", "20", "30"})) << "seen inside";
  RecordManager other;
  RecordFile theirs(other);
  ASSERT_EQ(theirs.Open(path), 0);
  EXPECT_EQ(Walk(theirs, 0, 2), (std::vector<std::string>{"10"})) << "not seen outside";
  ASSERT_EQ(manager.BTRCALL(op::kAbortTransaction, file.block.data(), scratch, none, scratch, 0, 0), 0);
  EXPECT_EQ(Walk(file, 0, 2), (std::vector<std::string>{"10"}));

  ASSERT_EQ(manager.BTRCALL(op::kBeginTransaction, file.block.data(), scratch, none, scratch, 0, 0), 0);
  ASSERT_EQ(file.Insert(Record("20", 12)), 0);
  EXPECT_EQ(file.Insert(Record("10", 12)), 5) << "a refused insert inside the transaction";
  ASSERT_EQ(manager.BTRCALL(op::kEndTransaction, file.block.data(), scratch, none, scratch, 0, 0), 0);
  EXPECT_EQ(Walk(theirs, 0, 2), (std::vector<std::string>{"10", "20"}));
  std::string stat;
  ASSERT_EQ(theirs.Stat(stat), 0);
  EXPECT_EQ(static_cast<std::uint8_t>(stat[6]), 2) << "and it was not counted";
  EXPECT_EQ(manager.BTRCALL(op::kEndTransaction, file.block.data(), scratch, none, scratch, 0, 0), 38);
}

TEST_F(RecordManagerTest, AKilledWriterLosesNoCommittedRecordAndLeavesNoLock) {
  Load({"10"});
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    RecordManager writer;
    RecordFile f(writer);
    if (f.Open(path) != 0) ::_exit(1);
    for (const char* key : {"20", "30", "40"}) {
      if (f.Insert(Record(key, 12)) != 0) ::_exit(2);
    }
    if (f.Get(op::kGetEqual + op::kLockNoWait, "10") != 0) ::_exit(3);
    std::uint32_t none = 0;
    std::uint8_t scratch[4] = {};
    writer.BTRCALL(op::kBeginTransaction, f.block.data(), scratch, none, scratch, 0, 0);
    f.Insert(Record("50", 12));
    ::kill(::getpid(), SIGKILL);
    ::_exit(4);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "exit code " << WEXITSTATUS(status);

  EXPECT_EQ(Walk(file, 0, 2), (std::vector<std::string>{"10", "20", "30", "40"}));
  EXPECT_EQ(file.Get(op::kGetEqual + op::kLockNoWait, "10"), 0) << "the lock died with the writer";
  EXPECT_EQ(file.Insert(Record("50", 12)), 0) << "and so did its transaction";
}

// Each key type sorts the records by value through a whole file.
TEST(RecordManagerKeyOrderTest, RecordsComeBackInTheOrderOfTheirKeyType) {
  struct Case {
    const char* what;
    SegmentSpec segment;
    std::vector<std::string> keys;      // inserted in this order
    std::vector<std::size_t> expected;  // indexes into keys, in key order
  };
  const Case cases[] = {
      {"binary", Segment(1, 2, keyflag::kBinary),
       {std::string("\x00\x01", 2), std::string("\xff\x00", 2), std::string("\x01\x00", 2)}, {2, 1, 0}},
      {"descending", Segment(1, 2, keyflag::kDescending), {"AA", "CC", "BB"}, {1, 2, 0}},
      {"integer", Segment(1, 2, keyflag::kExtendedType, keytype::kInteger),
       {std::string("\x05\x00", 2), "\xfe\xff", std::string("\x00\x00", 2)}, {1, 2, 0}},
  };
  for (const Case& c : cases) {
    testing::TempDir dir;
    RecordManager manager;
    RecordFile f(manager);
    const std::string path = dir.Prefix() + "order.dat";
    ASSERT_EQ(f.Create(path, Definition(4, {{c.segment}})), 0) << c.what;
    ASSERT_EQ(f.Open(path), 0) << c.what;
    for (const std::string& k : c.keys) ASSERT_EQ(f.Insert(k + "xx"), 0) << c.what;
    std::vector<std::string> seen;
    for (std::int16_t s = f.Get(op::kGetFirst); s == 0; s = f.Get(op::kGetNext)) seen.push_back(f.record.substr(0, 2));
    std::vector<std::string> expected;
    for (std::size_t i : c.expected) expected.push_back(c.keys[i]);
    EXPECT_EQ(seen, expected) << c.what;
    // Get Equal takes the key as the record holds it.
    ASSERT_EQ(f.Get(op::kGetEqual, c.keys[2]), 0) << c.what;
    EXPECT_EQ(f.record.substr(0, 2), c.keys[2]) << c.what;
  }
}

TEST(RecordManagerKeyOrderTest, ACollatingSequenceOrdersItsSegment) {
  testing::TempDir dir;
  RecordManager manager;
  RecordFile f(manager);
  FileDefinition d = Definition(4, {{Segment(1, 2, keyflag::kCollating | keyflag::kDuplicates)}});
  d.hasCollatingSequence = true;
  for (int i = 0; i < 256; ++i) d.collatingTable[i] = static_cast<std::uint8_t>(i >= 'a' && i <= 'z' ? i - 32 : i);
  const std::string path = dir.Prefix() + "acs.dat";
  ASSERT_EQ(f.Create(path, d), 0);
  ASSERT_EQ(f.Open(path), 0);
  for (const char* r : {"ba01", "AB02", "ab03", "Ba04"}) ASSERT_EQ(f.Insert(r), 0);
  std::vector<std::string> seen;
  for (std::int16_t s = f.Get(op::kGetFirst); s == 0; s = f.Get(op::kGetNext)) seen.push_back(f.record);
  EXPECT_EQ(seen, (std::vector<std::string>{"AB02", "ab03", "ba01", "Ba04"}));
  ASSERT_EQ(f.Get(op::kGetEqual, "BA"), 0);
  EXPECT_EQ(f.record, "ba01");
  EXPECT_EQ(f.Key(2), "ba") << "the key buffer holds the record's bytes, not their translation";
}

}  // namespace
}  // namespace duv::recman
