// Building and draining a line list must stay linear: a job queue of 100 000 lines is drained
// one line per step.
#include <benchmark/benchmark.h>

#include <string>

#include "app/line_list.h"

namespace {

const std::string kLine = "COM1,AT+CSQ<0d>";

void BM_Append(benchmark::State& state) {
  for (auto _ : state) {
    tamarind::LineList list;
    for (int64_t i = 0; i < state.range(0); ++i) list.Append(kLine);
    benchmark::DoNotOptimize(list.Count());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetComplexityN(state.range(0));
}

void BM_RemoveFirst(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    tamarind::LineList list;
    for (int64_t i = 0; i < state.range(0); ++i) list.Append(kLine);
    state.ResumeTiming();
    while (list.Count() > 0) {
      benchmark::DoNotOptimize(list.Line(0));
      list.Remove(0);
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetComplexityN(state.range(0));
}

BENCHMARK(BM_Append)->Arg(1000)->Arg(10000)->Arg(100000)->Complexity(benchmark::oN);
BENCHMARK(BM_RemoveFirst)->Arg(1000)->Arg(10000)->Arg(100000)->Complexity(benchmark::oN);

}  // namespace
