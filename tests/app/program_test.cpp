#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/poll_until.h"
#include "tests/support/scratch_dir.h"

extern char** environ;

namespace {

using std::chrono::milliseconds;
using tamarind::testing::PollUntil;
using tamarind::testing::ReadFile;
using tamarind::testing::ScratchDir;
using tamarind::testing::WriteFile;
using tamarind::testing::WritePortMap;

// The real program, started in the working folder with its standard error in "stderr.txt", on no
// display at all: it must choose the offscreen platform by itself.
class Program {
 public:
  Program() {
    std::vector<std::string> kept;
    for (char** variable = environ; *variable != nullptr; ++variable) {
      const std::string text = *variable;
      if (text.starts_with("DISPLAY=") || text.starts_with("WAYLAND_DISPLAY=") ||
          text.starts_with("QT_QPA_PLATFORM=")) {
        continue;
      }
      kept.push_back(text);
    }
    std::vector<char*> environment;
    for (std::string& text : kept) environment.push_back(text.data());
    environment.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    char program[] = TAMARIND_PROGRAM;
    char* argv[] = {program, nullptr};
    if (posix_spawn(&pid_, program, &actions, nullptr, argv, environment.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Program() {
    if (pid_ > 0 && !status_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool Started() const { return pid_ > 0; }
  void Signal(int number) const { ::kill(pid_, number); }

  // The exit status once the program has ended within `timeout`.
  std::optional<int> WaitForExit(milliseconds timeout) {
    PollUntil(
        [this] {
          int status = 0;
          if (::waitpid(pid_, &status, WNOHANG) == pid_) status_ = status;
          return status_.has_value();
        },
        timeout);
    return status_;
  }

 private:
  pid_t pid_ = -1;
  std::optional<int> status_;
};

// The creation sequence is over once the start-up header (an empty line, then the date) is in.
bool HeaderWritten() {
  const std::string log = ReadFile("RxDataLog.txt");
  return log.starts_with("\r\n") && log.size() > 2 && log.ends_with("\r\n");
}

std::string ThirtyPortLines() {
  std::string text;
  for (int k = 1; k <= 30; ++k) text += "9600,N," + std::to_string(k % 4 + 5) + "\r\n";
  return text;
}

class StopSignal : public ::testing::TestWithParam<int> {};

TEST_P(StopSignal, ClosesTheWindowSavesTheSettingsAndExitsZero) {
  ScratchDir scratch;
  WritePortMap({});
  WriteFile("Tamarindinf.txt", ThirtyPortLines() + "750\r\n3\r\nline 33\r\nline 34\r\n");
  WriteFile("TxData.txt", "COM3,ATZ<0d>\r\n");

  Program program;
  ASSERT_TRUE(program.Started());
  ASSERT_TRUE(PollUntil(HeaderWritten, milliseconds(20000))) << ReadFile("stderr.txt");
  program.Signal(GetParam());

  const std::optional<int> status = program.WaitForExit(milliseconds(20000));
  ASSERT_TRUE(status) << "still running after the signal";
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status << ReadFile("stderr.txt");
  EXPECT_EQ(ReadFile("Tamarindinf.txt"), ThirtyPortLines() + "750\r\n3\r\n");
  EXPECT_EQ(ReadFile("TxData.txt"), "COM3,ATZ<0d>\r\n") << "closing leaves the job file alone";
  EXPECT_NE(ReadFile("stderr.txt").find("running headless"), std::string::npos)
      << ReadFile("stderr.txt");
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignal, ::testing::Values(SIGTERM, SIGINT),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string(info.param == SIGTERM ? "SIGTERM" : "SIGINT");
                         });

TEST(StopSignal, ThatCannotSaveKeepsTheProgramRunningUntilAnotherSignalCan) {
  ScratchDir scratch;
  WritePortMap({});
  Program program;
  ASSERT_TRUE(program.Started());
  ASSERT_TRUE(PollUntil(HeaderWritten, milliseconds(20000))) << ReadFile("stderr.txt");
  std::filesystem::create_directory("Tamarindinf.txt");

  program.Signal(SIGTERM);
  ASSERT_TRUE(
      PollUntil([] { return ReadFile("stderr.txt").find("Tamarindinf.txt") != std::string::npos; },
                milliseconds(20000)))
      << ReadFile("stderr.txt");
  EXPECT_FALSE(program.WaitForExit(milliseconds(300))) << "the close was cancelled";

  std::filesystem::remove("Tamarindinf.txt");
  program.Signal(SIGTERM);
  const std::optional<int> status = program.WaitForExit(milliseconds(20000));
  ASSERT_TRUE(status);
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status;
  EXPECT_TRUE(ReadFile("Tamarindinf.txt").ends_with("500\r\n0\r\n"));
}

}  // namespace
