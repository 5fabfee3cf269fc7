#include "app/form_sequences.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "app/file_error.h"
#include "app/settings_file.h"
#include "engine/run_control.h"
#include "tests/support/fake_clock.h"
#include "tests/support/pty_device.h"
#include "tests/support/scratch_dir.h"

namespace tamarind {
namespace {

using testing::FakeClock;
using testing::PtyDevice;
using testing::ReadFile;
using testing::ScratchDir;
using testing::WriteFile;
using testing::WritePortMap;

class FormSequences : public ::testing::Test {
 protected:
  FormSequences() {
    WritePortMap({{2, com2.path()}, {17, com17.path()}});
    model.clock = &clock;
  }

  ScratchDir scratch;
  PtyDevice com2;
  PtyDevice com17;
  FakeClock clock;
  Model model;
};

TEST_F(FormSequences, CreationLoadsSettingsProbesMappedPortsAndWritesTheHeader) {
  std::string settings;
  for (int k = 1; k <= 30; ++k) settings += "9600,N,8\r\n";
  WriteFile(kSettingsFileName, settings + "1000\r\n2\r\n");

  FormCreate(model);

  EXPECT_EQ(model.Slot(2).settings, "9600,N,8");
  EXPECT_EQ(model.EdTm, "1000");
  for (const PortSlot& slot : model.slots) {
    const bool mapped = slot.number == 2 || slot.number == 17;
    EXPECT_EQ(slot.IsAvailable(), mapped) << slot.name;
    if (!mapped) {
      EXPECT_EQ(slot.availability, Availability::NoDevice) << slot.name;
    }
  }
  EXPECT_EQ(model.Slot(17).device, com17.path());
  EXPECT_EQ(ReadFile("RxDataLog.txt"), "\r\n12/11/26\r\n");
  EXPECT_EQ(model.log_problem, "");
}

TEST_F(FormSequences, ASettingsFileHeldOpenForWritingSkipsTheProbeAndTheHeader) {
  WriteFile(kSettingsFileName, "9600,N,8\r\n");
  const int writer = ::open(kSettingsFileName, O_WRONLY | O_APPEND);
  EXPECT_THROW(FormCreate(model), FileError);
  ::close(writer);

  for (const PortSlot& slot : model.slots) {
    EXPECT_EQ(slot.availability, Availability::NotProbed) << slot.name;
  }
  EXPECT_EQ(ReadFile("RxDataLog.txt"), "<missing>");
}

TEST_F(FormSequences, AHeaderThatCannotBeWrittenIsKeptForTheWindow) {
  std::filesystem::create_directory("RxDataLog.txt");
  FormCreate(model);
  EXPECT_TRUE(model.Slot(2).IsAvailable()) << "the run goes on";
  EXPECT_NE(model.log_problem.find("RxDataLog.txt"), std::string::npos) << model.log_problem;
}

TEST_F(FormSequences, ClosingDuringAJobSavesTheSettingsAndLeavesTheJobAlone) {
  FormCreate(model);
  const std::string job = "COM2,ATZ<0d>\r\nCOM2,ATI<0d>\r\n";
  WriteFile("TxData.txt", job);
  Timer1Timer(model);
  ASSERT_TRUE(model.Timer2_enabled) << "the job runs";
  EXPECT_EQ(com2.Read(4), "ATZ\r");
  model.EdCnt = "1";

  FormClose(model);

  EXPECT_EQ(ReadFile("TxData.txt"), job);
  std::string saved;
  for (int k = 1; k <= 30; ++k) saved += "38400,E,8\r\n";
  EXPECT_EQ(ReadFile(kSettingsFileName), saved + "500\r\n1\r\n");
  EXPECT_TRUE(model.Timer2_enabled);
  EXPECT_FALSE(model.Slot(2).handle.IsNoPort()) << "the close does not close the ports";

  // A close that the window cancels leaves the job able to run its next pass from its buffer.
  clock.Advance(501);
  Timer2Timer(model);
  EXPECT_EQ(com2.Read(4), "ATI\r");
  clock.Advance(501);
  Timer2Timer(model);
  EXPECT_EQ(com2.Read(4), "ATZ\r") << "the second pass starts from the job as loaded";
}

}  // namespace
}  // namespace tamarind
