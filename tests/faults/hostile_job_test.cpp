// Large and hostile job files: the program takes them in with memory in proportion to the file,
// queues them as the line rules say, and runs them to the end one step at a time.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "engine/job.h"
#include "engine/run_control.h"
#include "tests/engine/engine_fixture.h"
#include "tests/faults/heap_meter.h"

namespace tamarind {
namespace {

using testing::EngineTest;
using testing::WriteFile;

std::string Lines(int count, const std::function<std::string(int)>& line) {
  std::string text;
  for (int index = 0; index < count; ++index) text += line(index) + "\r\n";
  return text;
}

std::string Padded(std::string line, std::size_t size) {
  line.resize(size, 'x');
  return line;
}

struct HostileJobRow {
  const char* name;
  std::function<std::string()> job;
  std::size_t queued_on_port_1;
  std::size_t longest_queued_line;
  std::size_t due_steps;  // of the one pass
};

const std::string kMegabyteLine = Padded("COM1,", 1 << 20);

const HostileJobRow kRows[] = {
    {"hundred_megabytes_of_10000_byte_lines",
     [] {
       return Lines(10'000,
                    [](int i) { return Padded("COM" + std::to_string(i % 30 + 1) + ",", 10'000); });
     },
     334, LineList::kMaxLineRead, 334},
    {"no_line_end_at_all", [] { return kMegabyteLine; }, 1, LineList::kMaxLineRead, 1},
    {"nul_bytes_end_the_job",
     [] { return std::string("COM1,a\r\nCOM1,b\0COM1,c\r\nCOM1,d\r\n", 31); }, 2, 6, 2},
    {"one_megabyte_line_among_short_ones",
     [] { return "COM1,x\r\n" + kMegabyteLine + "\r\nCOM1,y\r\n"; }, 3, LineList::kMaxLineRead, 3},
    {"hundred_thousand_lines_for_one_port",
     [] { return Lines(100'000, [](int) { return std::string("COM1,AT<0d>"); }); }, 100'000, 11,
     100'000},
};

class HostileJobTest : public EngineTest, public ::testing::WithParamInterface<HostileJobRow> {};

TEST_P(HostileJobTest, IsQueuedAndRunWithMemoryInProportionToTheFile) {
  const HostileJobRow& row = GetParam();
  const std::string job = row.job();
  WriteFile("TxData.txt", job);
  model_.EdTm = "200";

  const std::size_t before = testing::HeapBytesHeld();
  testing::ResetHeapPeak();
  LoadJob(model_);
  DistributeJob(model_);
  const PortSlot& port_1 = model_.Slot(1);
  EXPECT_EQ(port_1.queue.Count(), row.queued_on_port_1);
  std::size_t longest = 0;
  for (std::size_t i = 0; i < port_1.queue.Count(); ++i) {
    longest = std::max(longest, port_1.queue.WholeLine(i).size());
  }
  EXPECT_EQ(longest, row.longest_queued_line);

  // The whole job, through the timers: its ports are unavailable, so every line is used up
  // unsent, one per due step, and the slowest tick shows whether a step ever stalls.
  Timer1Timer(model_);
  std::size_t due_steps = 0;
  auto slowest = std::chrono::steady_clock::duration::zero();
  while (model_.Timer2_enabled && due_steps <= row.due_steps) {
    const std::int32_t steps = model_.StepCount;
    const auto started = std::chrono::steady_clock::now();
    Tick();
    slowest = std::max(slowest, std::chrono::steady_clock::now() - started);
    if (model_.StepCount != steps || !model_.Timer2_enabled) ++due_steps;
  }
  EXPECT_EQ(due_steps, row.due_steps);
  EXPECT_FALSE(model_.Timer2_enabled);
  EXPECT_LT(slowest, std::chrono::seconds(2)) << "a step held the window up";

  const std::size_t most_held = testing::HeapBytesPeak() - before;
  RecordProperty("heap_peak_bytes", std::to_string(most_held));
  RecordProperty("file_bytes", std::to_string(job.size()));
  // The file read whole, its lines, the working copy and the queues: a few times the file, plus
  // the bookkeeping of each line in the three lists that hold it, which short lines make show.
  const std::size_t lines = model_.COMall_D.Count();
  EXPECT_LT(most_held, 4 * job.size() + 128 * lines + 64 * 1024)
      << job.size() << " bytes in " << lines << " lines";
}

INSTANTIATE_TEST_SUITE_P(Table, HostileJobTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<HostileJobRow>& info) {
                           return info.param.name;
                         });

}  // namespace
}  // namespace tamarind
