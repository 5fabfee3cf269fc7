// One due step for thirty ports must stay far below the 100 ms step period, and loading and
// distributing a job must grow linearly with its length.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "app/model.h"
#include "engine/job.h"
#include "engine/run_control.h"
#include "log/receive_log.h"
#include "tests/support/fake_clock.h"
#include "tests/support/pty_device.h"
#include "tests/support/scratch_dir.h"

namespace {

using tamarind::Model;
using tamarind::testing::FakeClock;
using tamarind::testing::PtyDevice;
using tamarind::testing::ScratchDir;

// Thirty ports played by ptys, a job running with one line queued for each. Every iteration is
// one due step: each device has answered as many bytes as it was sent, and each port receives,
// records, and sends its next line.
void BM_DueStepThirtyPorts(benchmark::State& state) {
  const ScratchDir dir;
  tamarind::testing::WritePortMap({});
  const auto line_bytes = static_cast<std::size_t>(state.range(0));
  FakeClock clock;
  Model model;
  model.clock = &clock;
  model.EdTm = "200";
  std::vector<std::unique_ptr<PtyDevice>> devices;
  std::string map_text;
  for (int number = 1; number <= tamarind::kPortCount; ++number) {
    devices.push_back(std::make_unique<PtyDevice>());
    map_text += "COM" + std::to_string(number) + "=" + devices.back()->path() + "\n";
    model.Slot(number).availability = tamarind::Availability::Available;
  }
  model.ports.map = tamarind::PortMap::Parse(map_text);

  std::vector<std::string> lines;
  for (int number = 1; number <= tamarind::kPortCount; ++number) {
    const std::string prefix = "COM" + std::to_string(number) + ",";
    lines.push_back(prefix + std::string(line_bytes - prefix.size(), 'a'));
  }
  const std::string answer(line_bytes, 'k');
  std::string job;
  for (const std::string& line : lines) job += line + "\r\n";
  tamarind::testing::WriteFile("TxData.txt", job);
  tamarind::Timer1Timer(model);

  for (auto _ : state) {
    state.PauseTiming();
    for (std::size_t i = 0; i < devices.size(); ++i) {
      devices[i]->Drain();
      devices[i]->Write(answer);
      model.slots[i].queue.Append(lines[i]);
    }
    for (auto& device : devices) device->WaitUntilReadable();
    model.Me1.Clear();
    clock.Advance(300);
    state.ResumeTiming();
    tamarind::Timer2Timer(model);
  }
  for (tamarind::PortSlot& slot : model.slots) slot.handle = tamarind::ClosePort(slot.handle);
  state.SetLabel(std::to_string(line_bytes) + "-byte lines, 30 ports");
}

// The receive log's share of a due step: thirty records, each appended with its own open, write
// and close.
void BM_AppendLogThirtyRecords(benchmark::State& state) {
  const ScratchDir dir;
  const std::string record = "12:34:56,COM3," + std::string(95, 'a') + ",OK<0d><0a>,1,1";
  for (auto _ : state) {
    for (int port = 0; port < tamarind::kPortCount; ++port) tamarind::AppendLog(record);
  }
}

void BM_LoadAndDistributeJob(benchmark::State& state) {
  const ScratchDir dir;
  std::string job;
  for (int64_t i = 0; i < state.range(0); ++i) {
    job += "COM" + std::to_string(i % tamarind::kPortCount + 1) + ",AT+CSQ<0d>\r\n";
  }
  tamarind::testing::WriteFile("TxData.txt", job);
  Model model;
  for (auto _ : state) {
    tamarind::LoadJob(model);
    tamarind::DistributeJob(model);
    benchmark::DoNotOptimize(model.slots[0].queue.Count());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetComplexityN(state.range(0));
}

BENCHMARK(BM_DueStepThirtyPorts)->Arg(100)->Arg(4096)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AppendLogThirtyRecords)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadAndDistributeJob)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
