#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>

namespace tamarind::bench {

// The program under measurement, run as a child process in a working folder of its own, with no
// display (the toolkit's offscreen platform).
class ProgramProcess {
 public:
  ProgramProcess(const std::string& program, const std::string& working_folder);
  ~ProgramProcess();
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;

  // CPU time used so far by all its threads, from the scheduler's own accounting (nanoseconds,
  // not the 10 ms clock ticks of /proc/<pid>/stat).
  std::chrono::nanoseconds CpuTime() const;
  // Resident memory now and at its highest, in kB.
  std::int64_t ResidentKb() const { return StatusKb("VmRSS:"); }
  std::int64_t PeakResidentKb() const { return StatusKb("VmHWM:"); }
  bool Running();

  // Kills it at once (SIGKILL), as a crash or a power cut would, and waits until it is gone.
  void Kill();

  // Asks it to stop (SIGTERM, its normal close), and kills it when that takes over five seconds.
  // True when it stopped by itself with exit status 0.
  bool Stop();

 private:
  std::int64_t StatusKb(const std::string& key) const;
  pid_t pid_ = -1;
};

}  // namespace tamarind::bench
