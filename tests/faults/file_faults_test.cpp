// Files the program may not write: a read-only receive log, a working folder where the log cannot
// be created, a read-only job file. Root may write anything, so the job runs with the file
// access rights of an ordinary user (the file-system user id only; nothing else changes).
#include <gtest/gtest.h>
#include <sys/fsuid.h>
#include <sys/stat.h>

#include <string>

#include "engine/run_control.h"
#include "tests/engine/engine_fixture.h"

namespace tamarind {
namespace {

using testing::EngineTest;
using testing::PtyDevice;
using testing::ReadFile;
using testing::WriteFile;

constexpr unsigned kNobody = 65534;

// For its lifetime, files are opened with an ordinary user's rights.
class OrdinaryUserFiles {
 public:
  OrdinaryUserFiles() {
    ::setfsgid(kNobody);
    ::setfsuid(kNobody);
  }
  ~OrdinaryUserFiles() {
    ::setfsuid(0);
    ::setfsgid(0);
  }
  OrdinaryUserFiles(const OrdinaryUserFiles&) = delete;
  OrdinaryUserFiles& operator=(const OrdinaryUserFiles&) = delete;
};

class FileFaultTest : public EngineTest {
 protected:
  // Port 3 is played by a pty the ordinary user may open; the job file is written and left
  // with `job_mode`.
  PtyDevice& Prepare(const std::string& job, mode_t job_mode) {
    PtyDevice& device = Attach(3);
    ::chmod(device.path().c_str(), 0666);
    model_.EdTm = "200";
    WriteFile("TxData.txt", job);
    ::chmod("TxData.txt", job_mode);
    return device;
  }

  void SetFolderMode(mode_t mode) { ::chmod(dir_.path().c_str(), mode); }
};

struct LogFaultRow {
  const char* name;
  bool read_only_log_exists;  // holding one earlier line
  mode_t folder_mode;
  const char* log_afterwards;
};

class LogFaultTest : public FileFaultTest, public ::testing::WithParamInterface<LogFaultRow> {};

TEST_P(LogFaultTest, TheJobCompletesEmptiesItsFileAndTheFailureIsShownOnce) {
  PtyDevice& device = Prepare("COM3,a\r\nCOM3,b\r\n", 0666);
  if (GetParam().read_only_log_exists) {
    WriteFile("RxDataLog.txt", "earlier\r\n");
    ::chmod("RxDataLog.txt", 0444);
  }
  SetFolderMode(GetParam().folder_mode);
  const OrdinaryUserFiles ordinary_user;

  Timer1Timer(model_);
  for (int tick = 0; tick < 3; ++tick) Tick();
  ASSERT_EQ(model_.Me1.Count(), 1u);
  EXPECT_EQ(model_.log_problem, "Cannot write the receive log RxDataLog.txt: Permission denied");
  model_.log_problem.clear();  // the window has shown it
  RunUntilIdle();

  EXPECT_EQ(model_.log_problem, "") << "shown once per job, not at every line";
  EXPECT_EQ(model_.Me1.Count(), 2u) << "the records are still shown";
  EXPECT_EQ(device.Read(2), "ab");
  EXPECT_EQ(ReadFile("TxData.txt"), "");
  EXPECT_EQ(ReadFile("RxDataLog.txt"), GetParam().log_afterwards);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LogFaultTest,
    ::testing::Values(LogFaultRow{"read_only_log", true, 0777, "earlier\r\n"},
                      LogFaultRow{"folder_where_no_log_can_be_created", false, 0555, "<missing>"}),
    [](const ::testing::TestParamInfo<LogFaultRow>& info) { return info.param.name; });

TEST_F(FileFaultTest, AJobFileThatCannotBeEmptiedKeepsItsLinesAndRunsAgainAtTheNextPoll) {
  PtyDevice& device = Prepare("COM3,a\r\nCOM3,b\r\n", 0444);
  SetFolderMode(0777);
  const OrdinaryUserFiles ordinary_user;

  Timer1Timer(model_);
  RunUntilIdle();
  EXPECT_EQ(ReadFile("TxData.txt"), "COM3,a\r\nCOM3,b\r\n");
  EXPECT_TRUE(model_.Timer1_enabled);

  Timer1Timer(model_);
  EXPECT_TRUE(model_.Timer2_enabled) << "the same job starts again";
  RunUntilIdle();
  EXPECT_EQ(device.Read(4), "abab");
  EXPECT_EQ(ReadFile("RxDataLog.txt"),
            "12:34:56,COM3,a,,1,1\r\n12:34:56,COM3,b,,2,1\r\n\r\n"
            "12:34:56,COM3,a,,1,1\r\n12:34:56,COM3,b,,2,1\r\n\r\n");
}

}  // namespace
}  // namespace tamarind
