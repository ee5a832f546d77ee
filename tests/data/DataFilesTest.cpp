#include "data/DataFiles.h"

#include <gtest/gtest.h>

#include "support/DataFixture.h"

namespace duv {
namespace {

using testing::Definition;
using testing::FileDefinition;
using testing::Record;
using testing::Segment;
namespace keyflag = recman::keyflag;

constexpr std::int16_t kOwners = 505;

// An owner-like file: records of 20 bytes, key 0 the first 2 bytes.
class DataFilesTest : public testing::DataFixture {
 protected:
  void SetUp() override {
    WriteDictionary("Owners", Definition(20, {{Segment(1, 2)}, {Segment(3, 4, keyflag::kDuplicates)}}));
    Open(kOwners, "DADES\\Owners", owner);
    ASSERT_EQ(status, 0);
    for (const char* r : {"10AAAA first", "20BBBB second", "30AAAA third", "40CCCC fourth"}) {
      Insert("DADES/Owners.dat", Record(r, 20));
    }
  }

  void Open(std::int16_t number, const std::string& name, std::string& buffer) {
    data.OpenDataFile(number, root.Prefix() + name, buffer, status);
  }

  // Records are written by another client, as the suite's other programs would.
  void Insert(const std::string& file, const std::string& record) {
    testing::RecordFile f(writer);
    ASSERT_EQ(f.Open(root.Prefix() + file), 0);
    ASSERT_EQ(f.Insert(record), 0);
  }

  recman::RecordManager writer;
  std::string owner;
  std::int16_t status = -1;
};

TEST_F(DataFilesTest, GetByKeyReadsEqualGreaterOrEqualAndLessOrEqual) {
  struct Case {
    std::string key;
    std::int16_t direction;
    std::int16_t status;
    const char* record;  // the start of the record read, or nullptr
  };
  const Case cases[] = {
      {"20", 0, 0, "20BBBB"}, {"25", 0, 4, nullptr},  {"25", 1, 0, "30AAAA"},
      {"25", -1, 0, "20BBBB"}, {"45", 1, 9, nullptr}, {"2", 1, 0, "20BBBB"},  // "2\0" is below "20"
      {"20XYZ", 0, 0, "20BBBB"},  // only the key's length is used
  };
  for (const Case& c : cases) {
    owner = std::string(20, '.');
    data.GetByKey(kOwners, 0, c.key, c.direction, status);
    EXPECT_EQ(status, c.status) << c.key << " " << c.direction;
    if (c.record) {
      EXPECT_EQ(owner.substr(0, 6), c.record) << c.key << " " << c.direction;
    }
  }
  data.GetByKey(kOwners, 1, "AAAA", 0, status);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(owner.substr(0, 2), "10");
  EXPECT_EQ(data.Slot(data.FindFileSlot(kOwners)).keyValue, "AAAA");
  EXPECT_EQ(data.Slot(data.FindFileSlot(kOwners)).keyNumber, 1);
}

TEST_F(DataFilesTest, AKeyedReadAsksForTheLayoutTwiceAndPadsTheValueWithZeros) {
  calls.calls.clear();
  data.GetByKey(kOwners, 0, "3", 1, status);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(calls.Operations(), (std::vector<std::int16_t>{15, 15, 9}));
  EXPECT_EQ(calls.calls[2].keyLength, 2);
  EXPECT_EQ(calls.calls[2].dataLength, 20u) << "the record length is offered";
  EXPECT_EQ(owner.substr(0, 2), "30");
  EXPECT_EQ(data.Slot(data.FindFileSlot(kOwners)).keyValue, "30") << "the key value read back";
  data.GetByKey(kOwners, 0, "2", 0, status);
  EXPECT_EQ(status, 4);
  EXPECT_EQ(data.Slot(data.FindFileSlot(kOwners)).keyValue, std::string("2\0", 2)) << "a miss leaves the value asked for";
}

TEST_F(DataFilesTest, AKeyTheFileDoesNotHaveChangesNothing) {
  data.GetByKey(kOwners, 0, "20", 0, status);
  calls.calls.clear();
  data.GetByKey(kOwners, 2, "20", 0, status);
  EXPECT_EQ(status, 1004);
  EXPECT_EQ(calls.Operations(), (std::vector<std::int16_t>{15})) << "no read is made";
  const FileSlot& slot = data.Slot(data.FindFileSlot(kOwners));
  EXPECT_EQ(slot.keyNumber, 0);
  EXPECT_EQ(slot.keyValue, "20");
}

TEST_F(DataFilesTest, UnregisteredFilesGiveStatus3AndEmptyAnswers) {
  data.GetByKey(999, 0, "10", 0, status);
  EXPECT_EQ(status, 3);
  status = 0;
  data.MoveRecords(999, 1, status);
  EXPECT_EQ(status, 3);
  status = 0;
  data.SetLockMode(999, "A", status);
  EXPECT_EQ(status, 3);
  std::int16_t keyLength = -1, recordLength = -1;
  data.ReadKeyLayout(999, 0, keyLength, recordLength);
  EXPECT_EQ(keyLength, 0);
  EXPECT_EQ(recordLength, 0);
  EXPECT_EQ(data.CurrentKeyText(999), "");
  EXPECT_EQ(data.NormaliseKey("ab", 999), "ab");
}

TEST_F(DataFilesTest, MoveRecordsStepsAlongTheCurrentKey) {
  data.GetByKey(kOwners, 1, "AAAA", 0, status);  // 10, 30 on key 1, then 20, 40
  ASSERT_EQ(status, 0);
  calls.calls.clear();
  data.MoveRecords(kOwners, 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(calls.calls.empty()) << "a count of 0 reads nothing";
  data.MoveRecords(kOwners, 1, status);
  EXPECT_EQ(owner.substr(0, 2), "30");
  data.MoveRecords(kOwners, 2, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(owner.substr(0, 2), "40") << "two records on, through 20";
  data.MoveRecords(kOwners, -1, status);
  EXPECT_EQ(owner.substr(0, 2), "20");
  data.MoveRecords(kOwners, 5, status);
  EXPECT_EQ(status, 9);
}

TEST_F(DataFilesTest, DirectAccessSavesAndRestoresAPosition) {
  std::string other;
  Open(506, "DADES\\Owners", other);  // the same file under a second number
  EXPECT_EQ(data.DirectAccess(506, 0), 0) << "no current record yet";
  data.GetByKey(kOwners, 0, "20", 0, status);
  const std::int32_t saved = data.DirectAccess(kOwners, 0);
  EXPECT_NE(saved, 0);
  data.MoveRecords(kOwners, 1, status);
  ASSERT_EQ(owner.substr(0, 2), "30");
  EXPECT_EQ(data.DirectAccess(kOwners, saved), 0);
  EXPECT_EQ(owner.substr(0, 6), "20BBBB");
  data.MoveRecords(kOwners, 1, status);
  EXPECT_EQ(owner.substr(0, 2), "30") << "the moves go on from the fetched record";
  EXPECT_EQ(data.DirectAccess(kOwners, 123456), 43);
}

TEST_F(DataFilesTest, AShortDataBufferIsReportedAsSuccessWithTheRecordCopied) {
  owner = std::string(20, '.');
  calls.shortenGetsTo = 8;
  data.GetByKey(kOwners, 0, "20", 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(owner, "20BBBB s............");
  data.MoveRecords(kOwners, 1, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(owner.substr(0, 8), "30AAAA t");
  const std::int32_t thirty = data.DirectAccess(kOwners, 0);
  data.GetByKey(kOwners, 0, "10", 0, status);
  owner = std::string(20, '.');
  EXPECT_EQ(data.DirectAccess(kOwners, thirty), 0);
  EXPECT_EQ(owner, "30AAAA t............");
  calls.shortenGetsTo = 0;
}

TEST_F(DataFilesTest, LockModeLettersAndTheirStack) {
  const FileSlot& slot = data.Slot(data.FindFileSlot(kOwners));
  status = 77;
  data.SetLockMode(kOwners, "a", status);
  EXPECT_EQ(slot.lockMode, LockWait);
  EXPECT_EQ(status, 77) << "success leaves the status alone";
  data.SetLockMode(kOwners, "+B", status);
  EXPECT_EQ(slot.lockMode, LockNoWait);
  data.SetLockMode(kOwners, "+d", status);
  EXPECT_EQ(slot.lockMode, NoLock);
  data.SetLockMode(kOwners, "-", status);
  EXPECT_EQ(slot.lockMode, LockNoWait);
  data.SetLockMode(kOwners, "-", status);
  EXPECT_EQ(slot.lockMode, LockWait);
  data.SetLockMode(kOwners, "-x?", status);
  EXPECT_EQ(slot.lockMode, LockWait) << "no pair left: nothing changes";
  EXPECT_TRUE(data.LockModeStack().empty());
}

TEST_F(DataFilesTest, TheLockBiasGoesOnReadsOnlyWhenALockModeIsSet) {
  data.GetByKey(kOwners, 0, "10", 0, status);
  EXPECT_EQ(calls.calls.back().operation, 5);
  data.SetLockMode(kOwners, "B", status);
  data.GetByKey(kOwners, 0, "10", 0, status);
  EXPECT_EQ(calls.calls.back().operation, 205);
  data.MoveRecords(kOwners, 1, status);
  EXPECT_EQ(calls.calls.back().operation, 206);
  EXPECT_NE(data.DirectAccess(kOwners, 0), 0);
  EXPECT_EQ(calls.calls.back().operation, 22) << "no bias on saved positions";
}

TEST_F(DataFilesTest, CloseAllEmptiesTheTable) {
  data.SetLockMode(kOwners, "+", status);
  data.CloseAllDataFiles(status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(data.FindFileSlot(kOwners), -40);
  EXPECT_EQ(data.LockModeStack().size(), 2u) << "the lock-mode stack is kept";
  std::string again;
  Open(kOwners, "DADES\\Owners", again);
  EXPECT_EQ(status, 0) << "the file can be opened again";
}

// Keys with binary and collating segments come back comparable as text.
TEST_F(DataFilesTest, NormaliseKeySwapsBinarySegmentsAndTranslatesCollatingOnes) {
  FileDefinition d = Definition(10, {{Segment(1, 2)}, {Segment(1, 2, keyflag::kBinary), Segment(3, 2, keyflag::kCollating)}});
  d.hasCollatingSequence = true;
  for (int i = 0; i < 256; ++i) d.collatingTable[i] = static_cast<std::uint8_t>(i >= 'a' && i <= 'z' ? i - 32 : i);
  WriteDictionary("Mixed", d);
  std::string mixed;
  Open(600, "DADES\\Mixed", mixed);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(data.NormaliseKey("ab", 600), "ab") << "key 0 is a plain string";
  Insert("DADES/Mixed.dat", Record("\x01\x02xy", 10));
  data.GetByKey(600, 1, "\x01\x02xy", 0, status);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(data.CurrentKeyText(600), "\x02\x01XY");
  EXPECT_EQ(data.NormaliseKey("\x05", 600), std::string("\0\x05", 2)) << "padded to the binary segment first";
  std::int16_t keyLength = 0, recordLength = 0;
  data.ReadKeyLayout(600, 1, keyLength, recordLength);
  EXPECT_EQ(keyLength, 4);
  EXPECT_EQ(recordLength, 10);
}

}  // namespace
}  // namespace duv
