#include "engine/send_step.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/engine/engine_fixture.h"

namespace tamarind {
namespace {

using testing::EngineTest;
using testing::PtyDevice;

using SendStepTest = EngineTest;

TEST_F(SendStepTest, AQueueOfTwoLinesIsSentOnOneHandleThatStaysOwnedWhenTheQueueRunsDry) {
  PtyDevice& device = Attach(3);
  PortSlot& slot = model_.Slot(3);
  slot.queue.Append("COM3,ATZ<0d>");
  slot.queue.Append("COM3,ATI<0d>");

  const PortHandle first = SendStep(model_, slot, kNoPort);
  ASSERT_FALSE(first.IsNoPort());
  EXPECT_EQ(device.Read(4), "ATZ\r");
  EXPECT_EQ(slot.current_line, "COM3,ATZ<0d>");
  EXPECT_EQ(model_.EdTx, "COM3,ATZ<0d>");

  const PortHandle second = SendStep(model_, slot, first);
  EXPECT_EQ(second, first);
  EXPECT_EQ(device.Read(4), "ATI\r");

  const PortHandle dry = SendStep(model_, slot, second);
  EXPECT_EQ(dry, first) << "the open port keeps its handle until the job completes";
  EXPECT_EQ(slot.current_line, "");
  EXPECT_EQ(model_.EdTx, "COM3,ATI<0d>");

  // Still open and usable: the next pass writes on the same handle.
  slot.queue.Append("COM3,AT");
  EXPECT_EQ(SendStep(model_, slot, dry), first);
  EXPECT_EQ(device.Read(2), "AT");
  ClosePort(first);
}

struct PrefixRow {
  const char* name;
  const char* line;
  const char* bytes;
};

TEST_F(SendStepTest, ThePrefixUpToTheFirstCommaInTheFirstTenCharactersIsStripped) {
  const PrefixRow rows[] = {
      {"usual line", "COM3,ATZ", "ATZ"},
      {"payload with commas", "COM12,x,y", "x,y"},
      {"comma at position 14: eleven characters go", "abcdefghijCOM1,x", "OM1,x"},
      {"comma at position 10: eleven characters go", "abcdefCOM1,x", "x"},
      {"comma at position 9 ends the prefix", "abcdeCOM1,x", "x"},
      {"escapes decoded", "COM3,AT<0d>", "AT\r"},
      {"upper-case hex is no escape", "COM3,<0D>", "<0D>"},
  };
  PtyDevice& device = Attach(3);
  PortSlot& slot = model_.Slot(3);
  for (const PrefixRow& row : rows) {
    slot.queue.Append(row.line);
    slot.handle = SendStep(model_, slot, slot.handle);
    const std::string expected = row.bytes;
    EXPECT_EQ(device.Read(expected.size()), expected) << row.name;
    EXPECT_EQ(model_.EdTx, row.line) << row.name;
  }
}

TEST_F(SendStepTest, AnEmptyPayloadOpensThePortAndShowsTheLineButWritesNothing) {
  PtyDevice& device = Attach(3);
  PortSlot& slot = model_.Slot(3);
  slot.queue.Append("COM3,");
  slot.queue.Append("COM3,next");
  slot.handle = SendStep(model_, slot, slot.handle);
  EXPECT_FALSE(slot.handle.IsNoPort());
  EXPECT_EQ(model_.EdTx, "COM3,");
  slot.handle = SendStep(model_, slot, slot.handle);
  EXPECT_EQ(device.Read(4), "next") << "nothing came before the second line's bytes";
}

TEST_F(SendStepTest, ALineForAnUnavailablePortIsUsedUpUnsent) {
  PtyDevice& device = Attach(3);
  PortSlot& slot = model_.Slot(3);
  slot.availability = Availability::HeldByOther;
  slot.queue.Append("COM3,lost");
  slot.queue.Append("COM3,sent");
  model_.EdTx = "COM9,earlier";

  slot.handle = SendStep(model_, slot, slot.handle);
  EXPECT_TRUE(slot.handle.IsNoPort());
  EXPECT_EQ(slot.current_line, "COM3,lost") << "still the current line, for the receive step";
  EXPECT_EQ(slot.queue.Count(), 1u);
  EXPECT_EQ(model_.EdTx, "COM9,earlier");

  slot.availability = Availability::Available;
  slot.handle = SendStep(model_, slot, slot.handle);
  EXPECT_EQ(device.Read(4), "sent") << "the first line never reached the device";
}

TEST_F(SendStepTest, APortWhoseOpenFailsIsTriedAgainAtItsNextLine) {
  PtyDevice& device = Attach(3);
  MapTo(3, "/nonexistent/tamarind-device");
  PortSlot& slot = model_.Slot(3);
  slot.queue.Append("COM3,first");
  slot.queue.Append("COM3,second");
  model_.EdTx = "COM9,earlier";

  slot.handle = SendStep(model_, slot, slot.handle);
  EXPECT_TRUE(slot.handle.IsNoPort());
  EXPECT_EQ(slot.current_line, "COM3,first");
  EXPECT_EQ(model_.EdTx, "COM9,earlier");

  MapTo(3, device.path());
  slot.handle = SendStep(model_, slot, slot.handle);
  EXPECT_FALSE(slot.handle.IsNoPort());
  EXPECT_EQ(device.Read(6), "second");
  EXPECT_EQ(model_.EdTx, "COM3,second");
}

TEST_F(SendStepTest, EdTxShowsTheHighestNumberedSlotThatWrote) {
  PtyDevice& two = Attach(2);
  PtyDevice& five = Attach(5);
  model_.Slot(2).queue.Append("COM2,b");
  model_.Slot(5).queue.Append("COM5,e");
  model_.Slot(7).queue.Append("COM7,unavailable");
  SendAllPorts(model_);
  EXPECT_EQ(model_.EdTx, "COM5,e");
  EXPECT_EQ(two.Read(1), "b");
  EXPECT_EQ(five.Read(1), "e");
  EXPECT_FALSE(model_.Slot(2).handle.IsNoPort());
  EXPECT_FALSE(model_.Slot(5).handle.IsNoPort());
  EXPECT_TRUE(model_.Slot(7).handle.IsNoPort());
  EXPECT_EQ(model_.Slot(7).current_line, "COM7,unavailable");
}

}  // namespace
}  // namespace tamarind
