// A record held by another process, as another program of the suite would hold it: duvdata
// locks it and keeps it until it is stopped.

#include <gtest/gtest.h>

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "data/DataFiles.h"
#include "support/DataFixture.h"

extern char** environ;

namespace duv {
namespace {

using testing::Definition;
using testing::Record;
using testing::Segment;

constexpr std::int16_t kTypes = 501;

// `duvdata lock` on a record, started and waited for until it says it holds the lock.
class LockHolder {
 public:
  LockHolder(const std::string& path, const std::string& keyHex) {
    int out[2];
    if (::pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<std::string> args = {DUVDATA_PROGRAM, "lock", path, keyHex, "60"};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, DUVDATA_PROGRAM, &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    char c = 0;
    while (pid_ > 0 && ::read(out[0], &c, 1) == 1 && c != '\n') said_.push_back(c);
    ::close(out[0]);
  }
  ~LockHolder() { Stop(); }

  bool Holding() const { return said_.rfind("locked", 0) == 0; }
  void Stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  std::string said_;
};

class RecordLockTest : public testing::DataFixture {
 protected:
  void SetUp() override {
    WriteDictionary("TDespesa", Definition(27, {{Segment(1, 2)}}));
    data.OpenDataFile(kTypes, root.Prefix() + "DADES\\TDespesa", record, status);
    ASSERT_EQ(status, 0);
    recman::RecordManager writer;
    testing::RecordFile f(writer);
    ASSERT_EQ(f.Open(root.Prefix() + "DADES/TDespesa.dat"), 0);
    ASSERT_EQ(f.Insert(Record("\x81\x01" "Neteja", 27)), 0);
  }

  std::string record;
  std::int16_t status = -1;
};

TEST_F(RecordLockTest, WithLockWaitTheMessageComesBeforeTheSecondAttemptAndGoesWithTheLock) {
  LockHolder holder(root.Prefix() + "DADES/TDespesa.dat", "8101");
  ASSERT_TRUE(holder.Holding());
  settings.languageCode = "SPA";
  const std::string before = ScreenText();
  std::vector<bool> messageShown;
  onPause = [&](int count) {
    EXPECT_EQ(console.Refreshes(), count) << "the screen is shown before each pause";
    messageShown.push_back(ScreenText().find("FICHERO BLOQUEADO. ESPERE UN MOMENTO.") != std::string::npos);
    if (count == 3) holder.Stop();
  };
  data.SetLockMode(kTypes, "A", status);
  data.GetByKey(kTypes, 0, "\x81\x01", 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(record.substr(2, 6), "Neteja");
  EXPECT_EQ(messageShown, (std::vector<bool>{false, true, true})) << "silent first, then shown until the read";
  EXPECT_EQ(pauses, (std::vector<int>{5001, 5001, 5001})) << "10000 x 0.5 + 1 ms";
  EXPECT_EQ(ScreenText(), before) << "the message is gone";
  EXPECT_EQ(windows.Depth(), 0);
}

TEST_F(RecordLockTest, LockNoWaitReturns84AtOnceAndNoLockJustReads) {
  LockHolder holder(root.Prefix() + "DADES/TDespesa.dat", "8101");
  ASSERT_TRUE(holder.Holding());
  data.SetLockMode(kTypes, "B", status);
  data.GetByKey(kTypes, 0, "\x81\x01", 0, status);
  EXPECT_EQ(status, 84);
  EXPECT_TRUE(pauses.empty());
  data.SetLockMode(kTypes, "D", status);
  data.GetByKey(kTypes, 0, "\x81\x01", 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(calls.calls.back().operation, 5) << "no lock asked for";
  EXPECT_EQ(record.substr(2, 6), "Neteja");
}

}  // namespace
}  // namespace duv
