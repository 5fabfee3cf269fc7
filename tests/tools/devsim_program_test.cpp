// The tamarind-devsim program itself, run as a child process in a scratch folder: the map it
// writes, a conversation with it through the port channel, and how it stops.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ports/port_channel.h"
#include "tests/support/scratch_dir.h"

extern char** environ;

namespace tamarind::devsim {
namespace {

using namespace std::chrono_literals;

// A started tamarind-devsim; killed outright if a test leaves it running.
class DevsimProcess {
 public:
  explicit DevsimProcess(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), TAMARIND_DEVSIM_PATH);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "devsim.txt",
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "devsim-status.txt",
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~DevsimProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }

  bool Started() const { return pid_ > 0; }
  void Signal(int signal) { ::kill(pid_, signal); }

  // The exit status once the program has ended, waiting at most `patience`; nothing if it is
  // still running then, or ended by a signal.
  std::optional<int> ExitStatus(std::chrono::milliseconds patience = 5000ms) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        if (WIFEXITED(status)) return WEXITSTATUS(status);
        return std::nullopt;
      }
      if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
      std::this_thread::sleep_for(10ms);
    }
  }

 private:
  pid_t pid_ = -1;
};

// The port map once the program has written it, waiting at most five seconds.
std::string WaitForMap() {
  for (int round = 0; round < 500; ++round) {
    const std::string text = testing::ReadFile("Tamarindports.txt");
    if (text != "<missing>") return text;
    std::this_thread::sleep_for(10ms);
  }
  return "<missing>";
}

// Reads the port until `size` bytes came or two seconds passed.
std::string ReadAtLeast(PortHandle port, std::size_t size) {
  std::string answer;
  std::string chunk;
  const auto deadline = std::chrono::steady_clock::now() + 2s;
  while (answer.size() < size && std::chrono::steady_clock::now() < deadline) {
    ReadPort(port, chunk);
    answer += chunk;
    if (chunk.empty()) std::this_thread::sleep_for(5ms);
  }
  return answer;
}

struct StopCase {
  const char* name;
  int signal;
};

class StopsCleanly : public ::testing::TestWithParam<StopCase> {
 protected:
  testing::ScratchDir scratch_;
};

TEST_P(StopsCleanly, AnswersUntilSignalledThenMapsEveryPortToNoDevice) {
  DevsimProcess devsim({"--map", "Tamarindports.txt", "COM2", "COM7:echo"});
  ASSERT_TRUE(devsim.Started());
  PortContext context;
  context.map = PortMap::Parse(WaitForMap());
  EXPECT_TRUE(context.map.Problems().empty());
  EXPECT_EQ(context.map.DevicePath("COM1"), "");
  EXPECT_NE(context.map.DevicePath("COM7"), "");

  PortHandle port = OpenPort(context, "COM2,38400,E,8");
  ASSERT_FALSE(port.IsNoPort());
  WritePort(port, "AT\r");
  EXPECT_EQ(ReadAtLeast(port, 9), "AT\r\r\nOK\r\n");
  port = ClosePort(port);

  devsim.Signal(GetParam().signal);
  EXPECT_EQ(devsim.ExitStatus(), 0);
  const PortMap after = PortMap::Parse(testing::ReadFile("Tamarindports.txt"));
  for (int number = 1; number <= 30; ++number) {
    EXPECT_EQ(after.DevicePath("COM" + std::to_string(number)), "") << "COM" << number;
  }
  EXPECT_EQ(testing::ReadFile("devsim.txt"),
            "COM2 <- AT<0d>\n"
            "COM2 -> AT<0d><0d><0a>OK<0d><0a>\n");
}

INSTANTIATE_TEST_SUITE_P(Signals, StopsCleanly,
                         ::testing::Values(StopCase{"sigterm", SIGTERM},
                                           StopCase{"sigint", SIGINT}),
                         [](const ::testing::TestParamInfo<StopCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(DevsimProgram, BadArgumentEndsWithStatus2AndWritesNoMap) {
  testing::ScratchDir scratch;
  DevsimProcess devsim({"--map", "Tamarindports.txt", "COM31"});
  ASSERT_TRUE(devsim.Started());
  EXPECT_EQ(devsim.ExitStatus(), 2);
  EXPECT_EQ(testing::ReadFile("Tamarindports.txt"), "<missing>");
  EXPECT_NE(testing::ReadFile("devsim-status.txt").find("COM31: not a port name"),
            std::string::npos);
}

}  // namespace
}  // namespace tamarind::devsim
