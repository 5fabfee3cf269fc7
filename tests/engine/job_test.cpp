#include "engine/job.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/file_error.h"
#include "tests/engine/engine_fixture.h"

namespace tamarind {
namespace {

using testing::EngineTest;
using testing::FileWriterProcess;
using testing::LinesOf;
using testing::ReadFile;
using testing::WriteFile;

using JobTest = EngineTest;

// The ports each queue received the line on, for a job of that one line.
std::set<int> PortsReached(Model& model) {
  std::set<int> ports;
  for (const PortSlot& slot : model.slots) {
    if (!slot.queue.Empty()) ports.insert(slot.number);
  }
  return ports;
}

struct MarkerRow {
  const char* name;
  const char* line;
  std::set<int> ports;
};

TEST_F(JobTest, EachLineReachesThePortsWhoseMarkerItHolds) {
  const MarkerRow rows[] = {
      {"usual line", "COM3,ATZ<0d>", {3}},
      {"marker inside the line", "xCOM5,abc", {5}},
      {"lower-case marker", "com5,abc", {}},
      {"port 31 does not exist", "COM31,abc", {}},
      {"two markers", "COM1,COM2,x", {1, 2}},
      {"port 1 is not found inside port 11", "COM11,x", {11}},
      {"port 1 is not found inside port 21", "COM21,x", {21}},
      {"leading zero is no marker", "COM01,x", {}},
      {"port 0 does not exist", "COM0,x", {}},
      {"port 30", "COM30,x", {30}},
      {"marker needs its comma", "COM3 ATZ", {}},
      {"marker at the very end", "payload COM7,", {7}},
      {"repeated start", "COMCOM4,x", {4}},
      {"three-digit number", "COM100,x", {}},
      {"blank line", "", {}},
  };
  for (const MarkerRow& row : rows) {
    model_.COMall_D.Clear();
    model_.COMall_D.Append(row.line);
    DistributeJob(model_);
    EXPECT_EQ(PortsReached(model_), row.ports) << row.name;
    for (int number : row.ports) {
      EXPECT_EQ(LinesOf(model_.Slot(number).queue), std::vector<std::string>{row.line})
          << row.name << ": the line is queued whole and unchanged";
    }
  }
}

// The marker rule is a plain substring test; distribution must agree with it on every line
// built from the pieces markers are made of.
TEST_F(JobTest, DistributionAgreesWithTheSubstringRuleOnEveryShortLine) {
  const std::vector<std::string> pieces = {"COM", "CO", "M", "1", "2", "3", "0", ",", "x"};
  std::vector<std::string> shorter = {""};
  for (int length = 1; length <= 4; ++length) {
    std::vector<std::string> longer;
    for (const std::string& start : shorter) {
      for (const std::string& piece : pieces) longer.push_back(start + piece);
    }
    for (const std::string& line : longer) model_.COMall_D.Append(line);
    shorter = std::move(longer);
  }
  DistributeJob(model_);

  const std::vector<std::string> job = LinesOf(model_.COMall_D);
  for (int number = 1; number <= kPortCount; ++number) {
    const std::string marker = "COM" + std::to_string(number) + ",";
    std::vector<std::string> expected;
    for (const std::string& line : job) {
      if (line.find(marker) != std::string::npos) expected.push_back(line);
    }
    EXPECT_EQ(LinesOf(model_.Slot(number).queue), expected) << "port " << number;
  }
}

TEST_F(JobTest, QueuesKeepTheJobOrderAndAreRefilledEachTime) {
  WriteFile("TxData.txt", "COM3,abc\r\nCOM4,x\r\nCOM3,def\r\n");
  LoadJob(model_);
  DistributeJob(model_);
  EXPECT_EQ(LinesOf(model_.Slot(3).queue), (std::vector<std::string>{"COM3,abc", "COM3,def"}));
  EXPECT_EQ(PortsReached(model_), (std::set<int>{3, 4}));

  // A second distribution starts from the job buffer again, not from what the queues hold.
  model_.Slot(3).queue.Remove(0);
  DistributeJob(model_);
  EXPECT_EQ(LinesOf(model_.Slot(3).queue), (std::vector<std::string>{"COM3,abc", "COM3,def"}));
}

TEST_F(JobTest, ALongLineIsQueuedCutTo4096Bytes) {
  const std::string line = "COM2," + std::string(5000, 'a');
  WriteFile("TxData.txt", line + "\n");
  LoadJob(model_);
  DistributeJob(model_);
  EXPECT_EQ(LinesOf(model_.Slot(2).queue), std::vector<std::string>{line.substr(0, 4096)});
}

TEST_F(JobTest, LinesWithoutMarkersLeaveEveryQueueEmpty) {
  WriteFile("TxData.txt", "hello\r\n\r\ncom3,x\r\n");
  LoadJob(model_);
  DistributeJob(model_);
  EXPECT_TRUE(AllQueuesEmpty(model_));
  model_.Slot(30).queue.Append("COM30,x");
  EXPECT_FALSE(AllQueuesEmpty(model_));
}

TEST_F(JobTest, AMissingJobFileIsAnEmptyJob) {
  model_.COMall_D.Append("left from the last job");
  LoadJob(model_);
  EXPECT_TRUE(model_.COMall_D.Empty());
}

TEST_F(JobTest, AJobFileHeldOpenForWritingIsNotLoaded) {
  WriteFile("TxData.txt", "COM3,half a jo");
  {
    FileWriterProcess writer("TxData.txt");
    model_.COMall_D.Append("left from the last job");
    EXPECT_THROW(LoadJob(model_), FileError);
    EXPECT_TRUE(model_.COMall_D.Empty());
  }
  LoadJob(model_);
  EXPECT_EQ(LinesOf(model_.COMall_D), std::vector<std::string>{"COM3,half a jo"});
  EXPECT_EQ(ReadFile("TxData.txt"), "COM3,half a jo");
}

}  // namespace
}  // namespace tamarind
