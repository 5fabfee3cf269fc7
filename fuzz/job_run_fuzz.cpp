// Runs whole jobs from arbitrary job files through the two timers, with a hand-driven clock and
// ports that lead to no device: every job starts, takes one due step per line of its longest
// queue and pass, records one line for every line taken off an available port's queue, and ends
// with the job file emptied and no port held.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/line_list.h"
#include "app/model.h"
#include "app/text_to_int.h"
#include "engine/job.h"
#include "engine/run_control.h"
#include "log/receive_log.h"
#include "tests/support/fake_clock.h"
#include "tests/support/scratch_dir.h"

namespace {

std::string NoDeviceMap() {
  std::string text;
  for (int number = 1; number <= 30; ++number) text += "COM" + std::to_string(number) + "=\n";
  return text;
}

std::size_t CountBreaks(const std::string& text) {
  std::size_t count = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos;
       at = text.find("\r\n", at + 2)) {
    ++count;
  }
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using tamarind::testing::ReadFile;
  static tamarind::testing::ScratchDir scratch;
  static const tamarind::PortMap no_devices = tamarind::PortMap::Parse(NoDeviceMap());
  FuzzedDataProvider input(data, size);

  tamarind::testing::FakeClock clock;
  clock.now = input.ConsumeIntegral<std::uint32_t>();  // wherever the tick count happens to be
  tamarind::Model model;
  model.clock = &clock;
  model.ports.map = no_devices;
  const auto available = input.ConsumeIntegral<std::uint32_t>();
  for (int number = 1; number <= 30; ++number) {
    if (available & (1u << (number - 1))) {
      model.Slot(number).availability = tamarind::Availability::Available;
    }
  }
  const int repeat = input.ConsumeIntegralInRange(-1, 2);
  model.EdCnt = std::to_string(repeat);
  model.EdTm = std::to_string(input.ConsumeIntegralInRange(-100, 700));
  const std::int32_t typed_interval = tamarind::TextToInt(model.EdTm);
  tamarind::testing::WriteFile(tamarind::kJobFileName, input.ConsumeRemainingBytesAsString());
  std::remove(tamarind::kReceiveLogFileName);

  // What the distribution gives, before the job uses the queues up.
  tamarind::LoadJob(model);
  tamarind::DistributeJob(model);
  std::size_t longest = 0;
  std::size_t recorded_per_pass = 0;
  for (const tamarind::PortSlot& slot : model.slots) {
    longest = std::max(longest, slot.queue.Count());
    if (slot.IsAvailable()) recorded_per_pass += slot.queue.Count();
  }

  tamarind::Timer1Timer(model);
  if (longest == 0) {
    if (!model.Timer1_enabled || model.Timer2_enabled) std::abort();
    return 0;
  }
  if (model.Timer1_enabled || !model.Timer2_enabled) std::abort();
  if (typed_interval < 200 && model.EdTm != "200") std::abort();

  const std::size_t passes = static_cast<std::size_t>(std::max(repeat, 0)) + 1;
  const std::size_t ticks_per_step = 8;  // more than 700 ms at 100 ms a tick
  std::size_t due_steps = 0;
  for (std::size_t tick = 0; tick < passes * longest * ticks_per_step + 1 && model.Timer2_enabled;
       ++tick) {
    clock.Advance(100);
    const std::int32_t steps_before = model.StepCount;
    const std::int32_t passes_before = model.PassCount;
    tamarind::Timer2Timer(model);
    if (model.StepCount != steps_before || model.PassCount != passes_before ||
        !model.Timer2_enabled) {
      ++due_steps;
    }
  }
  if (model.Timer2_enabled || !model.Timer1_enabled || !model.EdTm_enabled) std::abort();
  if (due_steps != passes * longest) std::abort();
  if (ReadFile(tamarind::kJobFileName) != "") std::abort();
  for (const tamarind::PortSlot& slot : model.slots) {
    if (!slot.handle.IsNoPort()) std::abort();
  }
  // One record per line taken off an available port's queue, then the empty line of the end.
  const std::string log = ReadFile(tamarind::kReceiveLogFileName);
  if (!log.ends_with("\r\n\r\n") && !(recorded_per_pass == 0 && log == "\r\n")) std::abort();
  if (CountBreaks(log) != passes * recorded_per_pass + 1) std::abort();
  if (model.Me1.Count() != passes * recorded_per_pass) std::abort();
  return 0;
}
