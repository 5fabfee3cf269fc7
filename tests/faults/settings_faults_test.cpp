// A damaged settings file: start-up still probes, writes its header and runs jobs, and the save
// at close mends the file to thirty port lines and the two fields.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "app/form_sequences.h"
#include "app/settings_file.h"
#include "engine/run_control.h"
#include "tests/faults/mended_settings.h"
#include "tests/support/fake_clock.h"
#include "tests/support/pty_device.h"
#include "tests/support/scratch_dir.h"

namespace tamarind {
namespace {

using testing::ReadFile;
using testing::WriteFile;

// Bytes of every value, NUL and line ends among them, the same in every run.
std::string Garbage(std::size_t size) {
  std::string bytes;
  std::uint32_t state = 12345;
  for (std::size_t i = 0; i < size; ++i) {
    state = state * 1103515245u + 12345u;
    bytes += static_cast<char>(state >> 24);
  }
  return bytes;
}

struct DamagedSettingsRow {
  const char* name;
  std::function<std::string()> contents;
};

class DamagedSettingsTest : public ::testing::TestWithParam<DamagedSettingsRow> {
 protected:
  testing::ScratchDir dir_;
  testing::FakeClock clock_;
};

TEST_P(DamagedSettingsTest, StartUpWorksAndTheSaveMendsTheFile) {
  testing::PtyDevice device;
  testing::WritePortMap({{3, device.path()}});
  const std::string damaged = GetParam().contents();
  WriteFile("Tamarindinf.txt", damaged);
  LineList original;
  original.FillFromFile("Tamarindinf.txt");

  Model model;
  model.clock = &clock_;
  ASSERT_NO_THROW(FormCreate(model));
  EXPECT_TRUE(model.Slot(3).IsAvailable()) << "the probe ran";
  EXPECT_EQ(ReadFile("RxDataLog.txt"), "\r\n12/11/26\r\n") << "the header was written";

  // A job runs on port 3 whatever its settings text holds.
  model.EdTm = "200";
  model.EdCnt = "0";
  WriteFile("TxData.txt", "COM3,hello");
  Timer1Timer(model);
  EXPECT_EQ(device.Read(5), "hello");
  for (int tick = 0; tick < 10 && model.Timer2_enabled; ++tick) {
    clock_.Advance(kStepPeriodMs);
    Timer2Timer(model);
  }
  EXPECT_FALSE(model.Timer2_enabled);

  ASSERT_NO_THROW(FormClose(model));
  LineList saved;
  saved.FillFromFile("Tamarindinf.txt");
  testing::ExpectMendedPortLines(original, saved);
  if (HasFatalFailure()) return;
  EXPECT_EQ(saved.WholeLine(30), "200");
  EXPECT_EQ(saved.WholeLine(31), "0");

  Model next_start;
  next_start.clock = &clock_;
  FormCreate(next_start);
  EXPECT_EQ(next_start.EdTm, "200");
  EXPECT_EQ(next_start.EdCnt, "0");
}

INSTANTIATE_TEST_SUITE_P(
    Table, DamagedSettingsTest,
    ::testing::Values(
        DamagedSettingsRow{"binary_garbage", [] { return Garbage(4096); }},
        DamagedSettingsRow{"one_megabyte_line", [] { return std::string(1 << 20, '9'); }},
        DamagedSettingsRow{"three_lines", [] { return std::string("9600,N,8\r\n1000\r\n5\r\n"); }}),
    [](const ::testing::TestParamInfo<DamagedSettingsRow>& info) { return info.param.name; });

}  // namespace
}  // namespace tamarind
