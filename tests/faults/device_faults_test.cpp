// Devices that misbehave in the middle of a job: one that goes away, one that never reads. The
// job must go on for every other port, complete, and never hang.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "ports/write_wait.h"
#include "tests/engine/engine_fixture.h"

namespace tamarind {
namespace {

using testing::EngineTest;
using testing::LinesOf;
using testing::ParseRecord;
using testing::PtyDevice;
using testing::ReadFile;
using testing::Record;

class DeviceFaultTest : public EngineTest {
 protected:
  // Ticks until the next due step has recorded something.
  void TickUntilRecorded() {
    const std::size_t before = model_.Me1.Count();
    for (int tick = 0; tick < 10 && model_.Me1.Count() == before; ++tick) Tick();
    ASSERT_GT(model_.Me1.Count(), before) << "no due step within ten ticks";
  }
};

TEST_F(DeviceFaultTest, ADeviceThatVanishesMidJobGivesEmptyAnswersAndTheJobCompletes) {
  PtyDevice& vanishing = Attach(3);
  PtyDevice& healthy = Attach(4);
  model_.EdTm = "200";
  Poll("COM3,a\r\nCOM4,w\r\nCOM3,b\r\nCOM4,x\r\nCOM3,c\r\nCOM4,y\r\nCOM3,d\r\nCOM4,z\r\n");
  ASSERT_EQ(vanishing.Read(1), "a");
  Answer(3, "ok");
  TickUntilRecorded();
  ASSERT_EQ(vanishing.Read(1), "b");

  // The device goes away with an answer of its own still unread: that answer is lost with it.
  vanishing.Write("lost");
  vanishing.Vanish();
  const auto started = std::chrono::steady_clock::now();
  RunUntilIdle(100);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));

  std::vector<std::string> port3;
  for (const std::string& line : LinesOf(model_.Me1)) {
    const Record record = ParseRecord(line);
    if (record.line_and_answer.starts_with("COM3,")) port3.push_back(record.line_and_answer);
  }
  EXPECT_EQ(port3, (std::vector<std::string>{"COM3,a,ok", "COM3,b,", "COM3,c,", "COM3,d,"}));
  EXPECT_EQ(healthy.Read(4), "wxyz") << "the other port got every line";
  EXPECT_EQ(ReadFile("TxData.txt"), "");
  EXPECT_TRUE(ReadFile("RxDataLog.txt").ends_with(",4,1\r\n\r\n"));
  for (const PortSlot& slot : model_.slots) EXPECT_TRUE(slot.handle.IsNoPort()) << slot.name;
}

TEST_F(DeviceFaultTest, ADeviceThatNeverReadsHoldsEachWriteOnlyForItsWaitLimit) {
  // A fast line keeps the test short; the limit scales with the wire time at any speed.
  PtyDevice& stuck = Attach(3);
  model_.Slot(3).settings = "921600,N,8";
  model_.EdTm = "200";
  const std::string payload(LineList::kMaxLineRead - 5, 'x');
  constexpr int kLines = 8;
  std::string job;
  for (int line = 0; line < kLines; ++line) job += "COM3," + payload + "\r\n";

  const auto started = std::chrono::steady_clock::now();
  Poll(job);
  RunUntilIdle(100);
  const auto took = std::chrono::steady_clock::now() - started;

  // A pty takes about 12 KB before its writer has to wait; every later line waits at most its
  // limit and gives up on the rest.
  const auto limit = WriteWaitLimit(payload.size(), 921600, 10);
  EXPECT_LT(took, kLines * limit + std::chrono::seconds(2));
  EXPECT_EQ(model_.Me1.Count(), static_cast<std::size_t>(kLines));
  EXPECT_EQ(ReadFile("TxData.txt"), "");
  // What did reach the device is the job's bytes from the start, nothing mangled.
  const std::string arrived = stuck.Read(payload.size());
  ASSERT_GE(arrived.size(), payload.size());
  EXPECT_EQ(arrived.substr(0, payload.size()), payload);
}

}  // namespace
}  // namespace tamarind
