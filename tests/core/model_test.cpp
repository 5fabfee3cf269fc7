#include "app/model.h"

#include <gtest/gtest.h>

namespace tamarind {
namespace {

TEST(Model, StartsWithThirtyUnprobedPortsAndTheIdleState) {
  const Model model;
  for (int number = 1; number <= kPortCount; ++number) {
    const PortSlot& slot = model.slots[static_cast<std::size_t>(number - 1)];
    EXPECT_EQ(slot.number, number);
    EXPECT_EQ(slot.name, "COM" + std::to_string(number));
    EXPECT_EQ(slot.settings, "38400,E,8");
    EXPECT_FALSE(slot.IsAvailable()) << "before the probe every port is unavailable";
    EXPECT_TRUE(slot.handle.IsNoPort());
    EXPECT_EQ(slot.queue.Count(), 0u);
  }
  EXPECT_EQ(model.EdTx, "送信データ");
  EXPECT_EQ(model.EdTm, "500");
  EXPECT_EQ(model.EdCnt, "0");
  EXPECT_TRUE(model.Timer1_enabled);
  EXPECT_FALSE(model.Timer2_enabled);
}

}  // namespace
}  // namespace tamarind
