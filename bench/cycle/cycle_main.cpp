// The whole job cycle of the real program, measured from the device side: thirty simulated ports
// at a send interval of 200 ms run a job of ten lines per port, pass after pass, job after job.
//   bench_cycle PROGRAM [--jobs N] [--passes N] [--idle-seconds N] [--lines N] [--line-bytes N]
//               [--arrivals FILE]
// --lines sets the lines per port (10) and --line-bytes pads every job line to that length
// (a line list reads at most 4096 bytes of it), for large jobs. --arrivals FILE writes every
// arrival as "job,port,line,milliseconds since the job's first" for a closer look.
// Reports the lateness of every step against the ideal spacing (a step falls on the first 100 ms
// tick more than 200 ms after the last one: 300 ms), the program's CPU time per due step, its
// CPU use while idle and polling, and its resident memory, each against its target.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench/cycle/device_bank.h"
#include "bench/cycle/program_process.h"
#include "tests/support/scratch_dir.h"

namespace tamarind::bench {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr int kPorts = 30;
constexpr milliseconds kIdealSpacing{300};

struct Options {
  std::string program;
  int jobs = 3;
  int passes = 10;
  int idle_seconds = 60;
  int lines_per_port = 10;
  int line_bytes = 0;
  std::string arrivals_file;
};

Options ReadOptions(int argc, char** argv) {
  Options options;
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: %s PROGRAM [--jobs N] [--passes N] [--idle-seconds N] [--lines N] "
                 "[--line-bytes N] [--arrivals FILE]\n",
                 argv[0]);
    std::exit(2);
  }
  options.program = std::filesystem::absolute(argv[1]).string();
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    const int value = std::atoi(argv[i + 1]);
    if (name == "--arrivals") options.arrivals_file = std::filesystem::absolute(argv[i + 1]);
    if (name == "--jobs") options.jobs = value;
    if (name == "--passes") options.passes = value;
    if (name == "--idle-seconds") options.idle_seconds = value;
    if (name == "--lines") options.lines_per_port = value;
    if (name == "--line-bytes") options.line_bytes = value;
  }
  return options;
}

std::string SettingsText(int passes) {
  std::string text;
  for (int port = 1; port <= kPorts; ++port) text += "38400,E,8\r\n";
  return text + "200\r\n" + std::to_string(passes - 1) + "\r\n";
}

std::string JobText(const Options& options) {
  std::string text;
  for (int line = 1; line <= options.lines_per_port; ++line) {
    for (int port = 1; port <= kPorts; ++port) {
      std::string job_line = "COM" + std::to_string(port) + ",L" + std::to_string(line);
      const std::size_t padded = static_cast<std::size_t>(std::max(options.line_bytes, 0));
      if (job_line.size() + 4 < padded) job_line.resize(padded - 4, 'x');
      text += job_line + "<0d>\r\n";
    }
  }
  return text;
}

bool FileEmpty(const char* name) {
  std::error_code error;
  return std::filesystem::file_size(name, error) == 0 && !error;
}

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  const auto rank =
      static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
  return values[std::min(rank, values.size() - 1)];
}

const char* Verdict(bool met) {
  return met ? "met" : "MISSED";
}

int Run(const Options& options) {
  const testing::ScratchDir folder;
  DeviceBank devices(kPorts);
  std::map<int, std::string> paths;
  for (int port = 1; port <= kPorts; ++port) paths[port] = devices.Path(port);
  testing::WritePortMap(paths);
  testing::WriteFile("Tamarindinf.txt", SettingsText(options.passes));

  ProgramProcess program(options.program, folder.path().string());
  devices.Serve(Clock::now() + seconds(20),
                [] { return std::filesystem::exists("RxDataLog.txt"); });
  if (!std::filesystem::exists("RxDataLog.txt")) {
    std::fprintf(stderr, "the program did not start; it said:\n%s\n",
                 testing::ReadFile("program-output.txt").c_str());
    return 1;
  }

  // Idle: polling every 3000 ms with no job.
  const auto idle_cpu_before = program.CpuTime();
  const auto idle_started = Clock::now();
  devices.Serve(idle_started + seconds(options.idle_seconds), [] { return false; });
  const double idle_percent =
      100.0 * static_cast<double>((program.CpuTime() - idle_cpu_before).count()) /
      static_cast<double>(std::chrono::nanoseconds(Clock::now() - idle_started).count());

  std::vector<double> lateness_ms;
  double widest_spread_ms = 0;
  std::FILE* arrivals_out =
      options.arrivals_file.empty() ? nullptr : std::fopen(options.arrivals_file.c_str(), "w");
  std::chrono::nanoseconds job_cpu{0};
  int due_steps = 0;
  const int lines_per_job = options.passes * options.lines_per_port;
  for (int job = 1; job <= options.jobs; ++job) {
    devices.ForgetArrivals();
    testing::WriteFile("TxData.txt", JobText(options));
    devices.Serve(Clock::now() + seconds(10), [&] { return !devices.Arrivals(1).empty(); });
    const auto cpu_before = program.CpuTime();
    const auto deadline = Clock::now() + lines_per_job * kIdealSpacing + seconds(10);
    devices.Serve(deadline, [] { return FileEmpty("TxData.txt"); });
    job_cpu += program.CpuTime() - cpu_before;
    due_steps += lines_per_job;

    // A step's time is the first arrival of its line at any port; the spread is how long the
    // thirty writes of one step took to arrive.
    std::vector<Clock::time_point> step_times(static_cast<std::size_t>(lines_per_job),
                                              Clock::time_point::max());
    std::vector<Clock::time_point> step_ends(step_times.size(), Clock::time_point::min());
    for (int port = 1; port <= kPorts; ++port) {
      const auto& arrivals = devices.Arrivals(port);
      if (static_cast<int>(arrivals.size()) != lines_per_job) {
        std::fprintf(stderr, "job %d: port %d got %zu lines, not %d\n", job, port, arrivals.size(),
                     lines_per_job);
        return 1;
      }
      for (std::size_t i = 0; i < arrivals.size(); ++i) {
        step_times[i] = std::min(step_times[i], arrivals[i]);
        step_ends[i] = std::max(step_ends[i], arrivals[i]);
        if (arrivals_out != nullptr) {
          std::fprintf(arrivals_out, "%d,%d,%zu,%.3f\n", job, port, i + 1,
                       Milliseconds(arrivals[i] - devices.Arrivals(1).front()).count());
        }
      }
    }
    for (std::size_t i = 0; i < step_times.size(); ++i) {
      widest_spread_ms =
          std::max(widest_spread_ms, Milliseconds(step_ends[i] - step_times[i]).count());
      if (i == 0) continue;
      lateness_ms.push_back(
          Milliseconds(step_times[i] - step_times[i - 1] - kIdealSpacing).count());
    }
  }
  if (arrivals_out != nullptr) std::fclose(arrivals_out);
  const double resident_mb = static_cast<double>(program.ResidentKb()) / 1024.0;
  const double peak_mb = static_cast<double>(program.PeakResidentKb()) / 1024.0;
  const bool stopped_cleanly = program.Stop();

  if (lateness_ms.empty()) {
    std::fprintf(stderr, "a job of one step has no spacing to measure\n");
    return 1;
  }
  const double p50 = Percentile(lateness_ms, 0.50);
  const double p99 = Percentile(lateness_ms, 0.99);
  const double worst = *std::max_element(lateness_ms.begin(), lateness_ms.end());
  const double earliest = *std::min_element(lateness_ms.begin(), lateness_ms.end());
  // A step one tick early: the 200 ms tick already read as more than 200 ms on the millisecond
  // tick count.
  const auto early = std::count_if(lateness_ms.begin(), lateness_ms.end(),
                                   [](double lateness) { return lateness < -50.0; });
  const double cpu_per_step_ms =
      static_cast<double>(job_cpu.count()) / 1e6 / static_cast<double>(due_steps);

  std::printf(
      "Tamarind whole cycle: %d ports, EdTm 200, %d lines per port, %d passes per job, "
      "%d jobs\n",
      kPorts, options.lines_per_port, options.passes, options.jobs);
  std::printf(
      "step lateness against 300 ms (%zu step spacings): p50 %.2f ms, p99 %.2f ms, max %.2f ms, "
      "min %.2f ms; target p99 <= 3 ms: %s\n",
      lateness_ms.size(), p50, p99, worst, earliest, Verdict(p99 <= 3.0));
  std::printf("steps one 100 ms tick early (spacing about 200 ms): %td of %zu\n", early,
              lateness_ms.size());
  std::printf("the thirty lines of one step arrived within %.2f ms of each other\n",
              widest_spread_ms);
  std::printf("CPU per due step: %.3f ms over %d due steps; target <= 0.2 ms: %s\n",
              cpu_per_step_ms, due_steps, Verdict(cpu_per_step_ms <= 0.2));
  std::printf("idle CPU over %d s of polling: %.4f %%; target <= 0.05 %%: %s\n",
              options.idle_seconds, idle_percent, Verdict(idle_percent <= 0.05));
  std::printf("resident memory: %.1f MB at the end, %.1f MB at most; target <= 60 MB: %s\n",
              resident_mb, peak_mb, Verdict(peak_mb <= 60.0));
  std::printf("stopped by its close sequence: %s\n", stopped_cleanly ? "yes" : "NO");
  return 0;
}

}  // namespace
}  // namespace tamarind::bench

int main(int argc, char** argv) {
  return tamarind::bench::Run(tamarind::bench::ReadOptions(argc, argv));
}
