#include "data/DataFiles.h"

#include <gtest/gtest.h>

#include "support/DataFixture.h"

namespace duv {
namespace {

using testing::Definition;
using testing::Segment;

TEST(DataFileNameTest, TheFirstDotOfTheLastComponentStartsTheExtension) {
  struct Case {
    const char* name;
    const char* directory;
    const char* base;
    const char* extension;
  };
  const Case cases[] = {
      {"DADES\\TDespesa", "DADES\\", "TDespesa", ".dat"},
      {"C:\\DATA.V1\\PagamV", "C:\\DATA.V1\\", "PagamV", ".dat"},
      {"/srv/duv/DADES\\A.B.C", "/srv/duv/DADES\\", "A", ".B.C"},
      {"Owners.btr", "", "Owners", ".btr"},
      {"C:Owners", "C:", "Owners", ".dat"},
      {"plain", "", "plain", ".dat"},
  };
  for (const Case& c : cases) {
    const DataFileName split = SplitDataFileName(c.name);
    EXPECT_EQ(split.directory, c.directory) << c.name;
    EXPECT_EQ(split.base, c.base) << c.name;
    EXPECT_EQ(split.extension, c.extension) << c.name;
  }
}

class DataFileOpeningTest : public testing::DataFixture {
 protected:
  void SetUp() override { WriteDictionary("TDespesa", Definition(27, {{Segment(1, 2)}})); }

  void Open(std::int16_t number, const std::string& name, std::string& buffer) {
    data.OpenDataFile(number, root.Prefix() + name, buffer, status);
  }

  std::int16_t status = -1;
  std::string record;
};

TEST_F(DataFileOpeningTest, TheFirstOpenCreatesTheFileFromItsDictionaryAndPrimesTheSlot) {
  Open(501, "DADES\\TDespesa", record);
  ASSERT_EQ(status, 0);
  EXPECT_TRUE(root.Exists("DADES/TDespesa.dat"));
  EXPECT_EQ(calls.Operations(), (std::vector<std::int16_t>{0, 14, 0, 15, 15}));
  EXPECT_EQ(calls.calls[0].dataLength, 5u) << "the owner name";
  EXPECT_EQ(calls.calls[1].keyNumber, -1) << "an existing file is never replaced";
  const FileSlot& slot = data.Slot(40);
  EXPECT_EQ(slot.fileNumber, 501);
  EXPECT_EQ(slot.recordLength, 27);
  EXPECT_EQ(slot.keyValue, std::string(2, '\0'));
  EXPECT_EQ(slot.lockMode, NoLock);
  EXPECT_GE(record.size(), 27u) << "the record buffer holds a whole record";
  EXPECT_EQ(programEnds, 0);

  // The next run opens it directly: the dictionary is not needed any more.
  std::filesystem::remove(root.Path() / "ddf" / "TDespesa.xdf");
  testing::RecordingCalls secondCalls;
  DataFiles second(secondCalls, settings, windows, keyboard, Hooks());
  second.OpenDataFile(501, root.Prefix() + "DADES\\TDespesa", record, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(secondCalls.Operations(), (std::vector<std::int16_t>{0, 15, 15}));
}

TEST_F(DataFileOpeningTest, ANameWithAnExtensionKeepsItAndADottedDirectoryDoesNotGiveOne) {
  root.Write("DATA.V1/placeholder", "");
  Open(501, "DATA.V1\\TDespesa", record);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(root.Exists("DATA.V1/TDespesa.dat"));
  std::string other;
  Open(502, "DADES\\TDespesa.btr", other);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(root.Exists("DADES/TDespesa.btr"));
}

TEST_F(DataFileOpeningTest, FortySlotsFromTheTopDownAndNoMore) {
  std::vector<std::string> buffers(41);
  EXPECT_EQ(data.FindFileSlot(1), -40);
  for (std::int16_t n = 1; n <= 40; ++n) {
    Open(n, "DADES\\TDespesa", buffers[static_cast<std::size_t>(n - 1)]);
    ASSERT_EQ(status, 0) << n;
    EXPECT_EQ(data.FindFileSlot(n), 41 - n) << "slot 40 first, then 39, ...";
  }
  EXPECT_EQ(data.FindFileSlot(41), 0);
  Open(41, "DADES\\TDespesa", buffers[40]);
  EXPECT_EQ(status, 1003);
  Open(7, "DADES\\Other", buffers[40]);
  EXPECT_EQ(status, 1002);
  EXPECT_EQ(data.Slot(34).fileNumber, 7);
  EXPECT_EQ(data.Slot(34).recordLength, 27) << "the first registration is untouched";
  EXPECT_EQ(programEnds, 0);
}

TEST_F(DataFileOpeningTest, AFileHeldExclusivelyIsWaitedForInStepsOfThreeSeconds) {
  Open(501, "DADES\\TDespesa", record);
  ASSERT_EQ(status, 0);
  recman::RecordManager other;
  testing::RecordFile holder(other);
  ASSERT_EQ(holder.Open(root.Prefix() + "DADES/TDespesa.dat", recman::openmode::kExclusive), 85)
      << "we have it open ourselves";
  data.CloseAllDataFiles(status);
  ASSERT_EQ(holder.Open(root.Prefix() + "DADES/TDespesa.dat", recman::openmode::kExclusive), 0);

  const std::string before = ScreenText();
  onPause = [&](int count) {
    EXPECT_EQ(ScreenText(), before) << "nothing is shown while waiting";
    if (count == 3) holder.Close();
  };
  Open(501, "DADES\\TDespesa", record);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(pauses, (std::vector<int>{3000, 3000, 3000}));
}

struct FailureCase {
  const char* language;
  std::string text;
};

void PrintTo(const FailureCase& c, std::ostream* out) { *out << '"' << c.language << '"'; }

class OpenFailureTest : public DataFileOpeningTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(OpenFailureTest, ShowsTheMessageWaitsForAKeyAndEndsTheProgram) {
  settings.languageCode = GetParam().language;
  root.Write("DADES/Broken.dat", std::string(5000, 'x'));  // not a data file
  const std::string before = ScreenText();
  std::string seen;
  // A key typed ahead is thrown away: were it taken as the answer, the screen would never be
  // seen. The answer is the Esc the virtual console gives once its script has run out.
  console.QueueKey('a');
  console.QueueAction([&] { seen = ScreenText(); });
  Open(509, "DADES\\Broken", record);
  EXPECT_TRUE(console.RanDry());

  const std::string expected = GetParam().text + root.Prefix() + "DADES\\Broken (2)";
  std::string shown = seen;
  std::erase(shown, '|');
  // The box wraps the message; its frame and margins are blanks and line characters.
  std::string letters;
  for (const char c : shown) {
    if (c != ' ' && static_cast<unsigned char>(c) != 0xb3 && static_cast<unsigned char>(c) != 0xc4 &&
        static_cast<unsigned char>(c) != 0xda && static_cast<unsigned char>(c) != 0xbf &&
        static_cast<unsigned char>(c) != 0xc0 && static_cast<unsigned char>(c) != 0xd9) {
      letters.push_back(c);
    }
  }
  std::string expectedLetters = expected;
  std::erase(expectedLetters, ' ');
  EXPECT_NE(letters.find(expectedLetters), std::string::npos) << letters;
  EXPECT_EQ(console.Beeps(), 1);
  EXPECT_EQ(ScreenText(), before) << "the box is gone";
  EXPECT_EQ(programEnds, 1);
  EXPECT_EQ(status, 2) << "the failure is the caller's status";
  EXPECT_EQ(data.FindFileSlot(509), -40) << "nothing is left in the table";
}

INSTANTIATE_TEST_SUITE_P(
    Languages, OpenFailureTest,
    ::testing::Values(FailureCase{"   ", "NO ES POT ACCEDIR AL FITXER "},
                      FailureCase{"SPA", "NO SE PUEDE ACCEDER AL FICHERO "},
                      FailureCase{"GLG", "NOM SE PODE ACEDER AO FICHEIRO "},
                      FailureCase{"OCI", "NON SE P\xE3T ACCEDIR ATH FICH\xD4R "},
                      FailureCase{"spa", "NO ES POT ACCEDIR AL FITXER "}),
    [](const ::testing::TestParamInfo<FailureCase>& param) {
      const std::string code = param.param.language;
      return code == "   " ? std::string("blank") : code;
    });

TEST_F(DataFileOpeningTest, AMissingOrCutDictionaryEndsTheProgramWithAStatus) {
  Open(501, "DADES\\NoDictionary", record);
  EXPECT_EQ(status, 12);
  EXPECT_EQ(programEnds, 1);
  EXPECT_FALSE(root.Exists("DADES/NoDictionary.dat"));

  const std::string whole = testing::Dictionary(Definition(27, {{Segment(1, 2)}}));
  root.Write("ddf/Cut.xdf", whole.substr(0, whole.size() - 1));
  Open(501, "DADES\\Cut", record);
  EXPECT_EQ(status, 25);
  EXPECT_EQ(programEnds, 2);
  EXPECT_FALSE(root.Exists("DADES/Cut.dat"));

  root.Write("ddf/Bad.xdf", testing::Dictionary(Definition(27, {{Segment(26, 4)}})));
  Open(501, "DADES\\Bad", record);
  EXPECT_EQ(status, 25) << "the Create refused the definition";
  EXPECT_EQ(programEnds, 3);
}

TEST(DataMessagesTest, TheAraneseTextsAreInCodePage850) {
  EXPECT_EQ(LockWaitMessage("OCI"), "FICH\xD4R BLOQUEJAT. ESPERATZ UN MOMENT.");
  EXPECT_EQ(OpenFailureText("OCI"), "NON SE P\xE3T ACCEDIR ATH FICH\xD4R ");
  EXPECT_EQ(LockWaitMessage("SPA"), "FICHERO BLOQUEADO. ESPERE UN MOMENTO.");
  EXPECT_EQ(LockWaitMessage("GLG"), "FICHEIRO BLOQUEADO. ESPERE UM MOMENTO.");
  EXPECT_EQ(LockWaitMessage("CAT"), "FITXER BLOQUEJAT. ESPEREU UN MOMENT.");
}

}  // namespace
}  // namespace duv
