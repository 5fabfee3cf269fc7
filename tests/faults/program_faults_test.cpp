// The real program under faults: killed in the middle of a job, every line it logged is whole,
// the job file is untouched and the next start runs the job again; with a receive log it cannot
// write, jobs still run and it says so once; started on a settings file of garbage, it runs and
// its close mends the file.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "app/line_list.h"
#include "bench/cycle/program_process.h"
#include "tests/faults/mended_settings.h"
#include "tests/support/poll_until.h"
#include "tests/support/pty_device.h"
#include "tests/support/scratch_dir.h"

namespace tamarind {
namespace {

using std::chrono::milliseconds;
using testing::PollUntil;
using testing::ReadFile;
using testing::WriteFile;

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
    ASSERT_TRUE(PollUntil([] { return CountRecords(ReadFile("RxDataLog.txt")) >= 4; },
                          milliseconds(20'000)))
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

std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

TEST(ProgramFaultTest, WithALogItCannotWriteJobsStillRunAndItSaysSoOnce) {
  const testing::ScratchDir dir;
  testing::PtyDevice device;
  testing::WritePortMap({{1, device.path()}});
  std::filesystem::create_directory("RxDataLog.txt");  // root may write any file, not a folder
  std::string settings;
  for (int port = 1; port <= 30; ++port) settings += "38400,E,8\r\n";
  WriteFile("Tamarindinf.txt", settings + "200\r\n0\r\n");

  bench::ProgramProcess program(TAMARIND_PROGRAM, dir.path().string());
  for (const std::string job : {"COM1,a\r\nCOM1,b\r\n", "COM1,c\r\n"}) {
    WriteFile("TxData.txt", job);
    ASSERT_TRUE(PollUntil([] { return ReadFile("TxData.txt").empty(); }, milliseconds(20'000)))
        << "the job did not complete";
  }
  EXPECT_EQ(device.Read(3), "abc");
  EXPECT_TRUE(program.Stop());
  EXPECT_EQ(Occurrences(ReadFile("program-output.txt"),
                        "Cannot write the receive log RxDataLog.txt: Is a directory"),
            1u)
      << ReadFile("program-output.txt");
}

TEST(ProgramFaultTest, StartsOnAGarbageSettingsFileAndItsCloseMendsIt) {
  const testing::ScratchDir dir;
  testing::WritePortMap({});
  std::string garbage;
  for (int i = 1; i < 4096; ++i) garbage += static_cast<char>((i * 7919) % 251 + 1);
  WriteFile("Tamarindinf.txt", garbage);
  LineList original;
  original.FillFromFile("Tamarindinf.txt");

  bench::ProgramProcess program(TAMARIND_PROGRAM, dir.path().string());
  ASSERT_TRUE(
      PollUntil([] { return ReadFile("RxDataLog.txt").starts_with("\r\n"); }, milliseconds(20'000)))
      << "no start-up header";
  EXPECT_TRUE(program.Stop()) << "closed normally";

  LineList saved;
  saved.FillFromFile("Tamarindinf.txt");
  testing::ExpectMendedPortLines(original, saved);
  if (HasFatalFailure()) return;
  // The fields hold what the garbage put on lines 31 and 32, and are written back there.
  EXPECT_EQ(saved.WholeLine(30), original.Line(30));
  EXPECT_EQ(saved.WholeLine(31), original.Line(31));
}

}  // namespace
}  // namespace tamarind
