#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/model.h"
#include "tests/support/fake_clock.h"
#include "tests/support/pty_device.h"
#include "tests/support/scratch_dir.h"

namespace tamarind::testing {

// One response record taken apart from the end: the counters are the last two parts, the time
// the first, and the sent line and the answer (which may hold commas) what is between.
struct Record {
  std::string time;
  std::string line_and_answer;
  long long step = 0;
  long long pass = 0;
};
Record ParseRecord(const std::string& text);

// The lines of a line list, whole.
std::vector<std::string> LinesOf(const LineList& list);

// A fresh working folder, a model on a fake clock, and serial devices played by pseudo-terminals.
// Every port not attached maps to no device, so nothing ever opens a real serial port.
class EngineTest : public ::testing::Test {
 protected:
  EngineTest();
  ~EngineTest() override;

  // Plays port `number` with a pty: maps the port to it and marks the slot available.
  PtyDevice& Attach(int number);
  // Maps port `number` to `path` instead (a missing path makes its opens fail).
  void MapTo(int number, const std::string& path);

  // Writes the job file and runs one poll tick.
  void Poll(const std::string& job_text);
  // Advances the clock by one step period and runs the step tick.
  void Tick();
  // Ticks until the job has completed; fails the test if that takes more than `max_ticks`.
  void RunUntilIdle(int max_ticks = 1000);

  // The device answers: `bytes` are written and waiting for the program when this returns.
  void Answer(int number, const std::string& bytes);

  ScratchDir dir_;
  FakeClock clock_;
  Model model_;
  std::map<int, std::unique_ptr<PtyDevice>> devices_;

 private:
  void ApplyMap();
  std::map<int, std::string> paths_;
};

// Another process that holds a file open for writing until it is released.
class FileWriterProcess {
 public:
  explicit FileWriterProcess(const std::string& file_name);
  ~FileWriterProcess();
  void Release();

 private:
  pid_t pid_ = -1;
};

}  // namespace tamarind::testing
