#include "engine/receive_step.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/send_step.h"
#include "tests/engine/engine_fixture.h"

namespace tamarind {
namespace {

using testing::EngineTest;
using testing::LinesOf;
using testing::ReadFile;

class ReceiveStepTest : public EngineTest {
 protected:
  // Port 3 on a pty, with `line` sent, so that its slot has a current line and an open port.
  PortSlot& SentSlot(const std::string& line) {
    Attach(3);
    PortSlot& slot = model_.Slot(3);
    slot.queue.Append(line);
    slot.handle = SendStep(model_, slot, slot.handle);
    devices_.at(3)->Read(1);
    return slot;
  }
};

TEST_F(ReceiveStepTest, TheAnswerIsRecordedInEscapesInTheLogAndOnScreen) {
  PortSlot& slot = SentSlot("COM3,ATZ<0d>");
  Answer(3, "OK\r\n");
  ReceiveStep(model_, slot, slot.handle);
  const std::string record = "12:34:56,COM3,ATZ<0d>,OK<0d><0a>,1,1";
  EXPECT_EQ(ReadFile("RxDataLog.txt"), record + "\r\n");
  EXPECT_EQ(LinesOf(model_.Me1), std::vector<std::string>{record});
}

TEST_F(ReceiveStepTest, NoAnswerStillMakesARecordWithAnEmptyAnswer) {
  PortSlot& slot = SentSlot("COM3,ATZ<0d>");
  clock_.time_text = "9:05:01 PM";
  model_.StepCount = 4;
  model_.PassCount = 1;
  ReceiveStep(model_, slot, slot.handle);
  EXPECT_EQ(LinesOf(model_.Me1), std::vector<std::string>{"9:05:01 PM,COM3,ATZ<0d>,,5,2"});
}

TEST_F(ReceiveStepTest, AShiftJisAnswerIsOneEscapePerByte) {
  PortSlot& slot = SentSlot("COM3,x");
  Answer(3, "\x82\xa0");
  ReceiveStep(model_, slot, slot.handle);
  EXPECT_EQ(LinesOf(model_.Me1), std::vector<std::string>{"12:34:56,COM3,x,<82><a0>,1,1"});
}

TEST_F(ReceiveStepTest, ALongAnswerIsRecordedWhole) {
  PortSlot& slot = SentSlot("COM3,x");
  // 3000 control bytes escape to 12 000 characters, more than any fixed record buffer would hold.
  const std::string answer(3000, '\x01');
  Answer(3, answer);
  ReceiveStep(model_, slot, slot.handle);
  std::string escaped;
  for (std::size_t i = 0; i < answer.size(); ++i) escaped += "<01>";
  const std::string record = "12:34:56,COM3,x," + escaped + ",1,1";
  ASSERT_EQ(model_.Me1.Count(), 1u);
  EXPECT_EQ(model_.Me1.WholeLine(0), record);
  EXPECT_EQ(ReadFile("RxDataLog.txt"), record + "\r\n");
}

TEST_F(ReceiveStepTest, AnUnavailableSlotOrOneWithoutACurrentLineIsSkipped) {
  PortSlot& slot = SentSlot("COM3,x");
  Answer(3, "kept for later");
  slot.availability = Availability::OpenFailed;
  ReceiveStep(model_, slot, slot.handle);
  slot.availability = Availability::Available;
  slot.current_line.clear();
  ReceiveStep(model_, slot, slot.handle);
  EXPECT_TRUE(model_.Me1.Empty());
  EXPECT_EQ(ReadFile("RxDataLog.txt"), "<missing>");

  slot.current_line = "COM3,x";
  ReceiveStep(model_, slot, slot.handle);
  EXPECT_EQ(LinesOf(model_.Me1), std::vector<std::string>{"12:34:56,COM3,x,kept for later,1,1"})
      << "the skipped steps did not read the answer away";
}

TEST_F(ReceiveStepTest, AFailedLogWriteIsKeptOncePerJobAndTheRecordStillShown) {
  PortSlot& slot = SentSlot("COM3,x");
  std::filesystem::create_directory("RxDataLog.txt");
  ReceiveStep(model_, slot, slot.handle);
  EXPECT_EQ(model_.log_problem, "Cannot write the receive log RxDataLog.txt: Is a directory");
  EXPECT_EQ(model_.Me1.Count(), 1u);

  // The window showed it and cleared it; the same job does not raise it again.
  model_.log_problem.clear();
  ReceiveStep(model_, slot, slot.handle);
  EXPECT_EQ(model_.log_problem, "");
  EXPECT_EQ(model_.Me1.Count(), 2u);
}

}  // namespace
}  // namespace tamarind
