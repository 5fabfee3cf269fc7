// The real program killed in the middle of a job: every line it logged is whole, the job file
// is untouched, and the next start runs the job again.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "bench/cycle/program_process.h"
#include "tests/support/pty_device.h"
#include "tests/support/scratch_dir.h"

namespace tamarind {
namespace {

using std::chrono::milliseconds;
using testing::ReadFile;
using testing::WriteFile;

bool WaitFor(const std::function<bool()>& done, milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(milliseconds(20));
  }
  return true;
}

std::size_t CountRecords(const std::string& log) {
  std::size_t records = 0;
  for (std::size_t at = log.find(",1\r\n"); at != std::string::npos;
       at = log.find(",1\r\n", at + 1)) {
    ++records;
  }
  return records;
}

// True when every CR is followed by LF, every LF follows a CR, and the text ends with a line end.
bool EveryLineWhole(const std::string& text) {
  if (!text.ends_with("\r\n")) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) return false;
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
  }
  return true;
}

TEST(ProgramFaultTest, KilledMidJobItLeavesWholeLogLinesAndRunsTheJobAgainAtTheNextStart) {
  const testing::ScratchDir dir;
  testing::PtyDevice one;
  testing::PtyDevice two;
  testing::WritePortMap({{1, one.path()}, {2, two.path()}});
  std::string settings;
  for (int port = 1; port <= 30; ++port) settings += "38400,E,8\r\n";
  WriteFile("Tamarindinf.txt", settings + "200\r\n0\r\n");
  std::string job;
  for (int line = 1; line <= 10; ++line) {
    job += "COM1,a" + std::to_string(line) + "<0d>\r\nCOM2,b" + std::to_string(line) + "<0d>\r\n";
  }
  WriteFile("TxData.txt", job);

  {
    bench::ProgramProcess program(TAMARIND_PROGRAM, dir.path().string());
    ASSERT_TRUE(
        WaitFor([] { return CountRecords(ReadFile("RxDataLog.txt")) >= 4; }, milliseconds(20'000)))
        << "the job did not start; log: " << ReadFile("RxDataLog.txt");
    program.Kill();
  }
  const std::string log = ReadFile("RxDataLog.txt");
  EXPECT_TRUE(EveryLineWhole(log)) << log;
  EXPECT_EQ(ReadFile("TxData.txt"), job) << "a job cut short keeps its file";
  EXPECT_TRUE(one.Drain().starts_with("a1\ra2\r"));
  EXPECT_TRUE(two.Drain().starts_with("b1\rb2\r"));

  bench::ProgramProcess program(TAMARIND_PROGRAM, dir.path().string());
  EXPECT_EQ(one.Read(3, milliseconds(20'000)), "a1\r") << "the next start runs the job again";
  EXPECT_EQ(two.Read(3, milliseconds(2'000)), "b1\r");
  EXPECT_TRUE(ReadFile("RxDataLog.txt").starts_with(log)) << "the earlier lines are kept";
  program.Stop();
}

}  // namespace
}  // namespace tamarind
