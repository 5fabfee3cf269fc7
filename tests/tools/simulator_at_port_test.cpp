// The simulator as the program meets it: through the port channel, on real pseudo-terminals,
// with a port map made from the simulator's own map lines.

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>
#include <vector>

#include "engine/escapes.h"
#include "ports/port_channel.h"
#include "tests/support/fake_clock.h"
#include "tests/support/scratch_dir.h"
#include "tools/device_simulator.h"
#include "tools/port_map_text.h"

namespace tamarind::devsim {
namespace {

using namespace std::chrono_literals;
using enum BehaviourKind;

constexpr std::uint32_t kDelayMs = 250;

// COM1 a modem, COM2 a byte echo, COM3 a modem that answers kDelayMs late.
class SimulatorAtPort : public ::testing::Test {
 protected:
  SimulatorAtPort() { context_.map = PortMap::Parse(PortMapText(simulator_.DevicePaths())); }
  ~SimulatorAtPort() override {
    for (PortHandle& port : open_) ClosePort(port);
  }

  PortHandle Open(const std::string& specification) {
    const PortHandle port = OpenPort(context_, specification);
    if (!port.IsNoPort()) open_.push_back(port);
    return port;
  }

  // Runs the simulator and reads the port until `size` bytes came or `patience` passed, then
  // once more, so that bytes beyond `size` show too.
  std::string ReadAnswer(PortHandle port, std::size_t size,
                         std::chrono::milliseconds patience = 2000ms) {
    std::string answer;
    std::string chunk;
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (answer.size() < size && std::chrono::steady_clock::now() < deadline) {
      simulator_.ServiceOnce(10ms);
      ReadPort(port, chunk);
      answer += chunk;
    }
    simulator_.ServiceOnce(10ms);
    ReadPort(port, chunk);
    return answer + chunk;
  }

  // Sends a payload written in the job files' escape notation and returns the answer in the
  // notation of the receive log.
  std::string Converse(PortHandle port, const std::string& sent, std::size_t expected_size) {
    WritePort(port, DecodeEscapes(sent));
    return EncodeEscapes(ReadAnswer(port, expected_size));
  }

  testing::ScratchDir scratch_;
  testing::FakeClock clock_;
  std::ostringstream transcript_;
  DeviceSimulator simulator_{
      {{1, Modem, 0}, {2, Echo, 0}, {3, Modem, kDelayMs}}, clock_, transcript_};
  PortContext context_;
  std::vector<PortHandle> open_;
};

struct Exchange {
  std::string sent;    // escape notation, as in a job line
  std::string answer;  // escape notation, as in a response record
};

struct BehaviourCase {
  const char* name;
  const char* specification;
  std::vector<Exchange> exchanges;
};

class Behaviours : public SimulatorAtPort, public ::testing::WithParamInterface<BehaviourCase> {};

TEST_P(Behaviours, AnswerThroughThePortChannel) {
  const PortHandle port = Open(GetParam().specification);
  ASSERT_FALSE(port.IsNoPort());
  for (const Exchange& exchange : GetParam().exchanges) {
    const std::size_t size = DecodeEscapes(exchange.answer).size();
    EXPECT_EQ(Converse(port, exchange.sent, size), exchange.answer) << "sent " << exchange.sent;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Behaviours,
    ::testing::Values(
        BehaviourCase{"modem_ok", "COM1,38400,E,8", {{"AT<0d>", "AT<0d><0d><0a>OK<0d><0a>"}}},
        BehaviourCase{
            "modem_error", "COM1,9600,N,8", {{"HELLO<0d>", "HELLO<0d><0d><0a>ERROR<0d><0a>"}}},
        BehaviourCase{
            "modem_identification",
            "COM1,38400,E,8",
            {{"ATI<0d>", "ATI<0d><0d><0a>Tamarind devsim modem 1.0<0d><0a><0d><0a>OK<0d><0a>"}}},
        BehaviourCase{
            "modem_echo_off",
            "COM1,38400,E,8",
            {{"ATE0<0d>", "ATE0<0d><0d><0a>OK<0d><0a>"},
             {"AT&F<0d>", "<0d><0a>OK<0d><0a>"},
             {"ATX<0d>ATI9<0d>",
              "<0d><0a>OK<0d><0a><0d><0a>Tamarind devsim modem 1.0<0d><0a><0d><0a>OK<0d><0a>"}}},
        BehaviourCase{"byte_echo_binary",
                      "COM2,115200,N,8",
                      {{"<00><01><0d><0a><11><13><ff>x", "<00><01><0d><0a><11><13><ff>x"}}},
        BehaviourCase{"byte_echo_answers_no_modem", "COM2,38400,E,8", {{"AT<0d>", "AT<0d>"}}}),
    [](const ::testing::TestParamInfo<BehaviourCase>& info) {
      return std::string(info.param.name);
    });

TEST_F(SimulatorAtPort, DelayedPortAnswersOnlyOnceTheDelayHasPassed) {
  const PortHandle port = Open("COM3,38400,E,8");
  ASSERT_FALSE(port.IsNoPort());
  clock_.now = 1000;
  WritePort(port, "AT\r");
  for (int round = 0; round < 200 && transcript_.str().empty(); ++round) {
    simulator_.ServiceOnce(10ms);
  }
  ASSERT_EQ(transcript_.str(), "COM3 <- AT<0d>\n");

  clock_.now = 1000 + kDelayMs - 1;
  EXPECT_EQ(ReadAnswer(port, 1, 300ms), "") << "one millisecond early";

  clock_.now = 1000 + kDelayMs;
  const std::string expected = "AT<0d><0d><0a>OK<0d><0a>";
  EXPECT_EQ(EncodeEscapes(ReadAnswer(port, DecodeEscapes(expected).size())), expected);
}

TEST_F(SimulatorAtPort, DeviceSurvivesThePortBeingClosedAndKeepsItsState) {
  PortHandle port = Open("COM1,38400,E,8");
  ASSERT_FALSE(port.IsNoPort());
  EXPECT_EQ(Converse(port, "ATE0<0d>", 11), "ATE0<0d><0d><0a>OK<0d><0a>");
  open_.clear();
  port = ClosePort(port);
  simulator_.ServiceOnce(10ms);

  port = Open("COM1,38400,E,8");
  ASSERT_FALSE(port.IsNoPort()) << "the device went away with the program's close";
  EXPECT_EQ(Converse(port, "AT<0d>", 6), "<0d><0a>OK<0d><0a>") << "echo stays off, as on a modem";
}

TEST_F(SimulatorAtPort, TranscriptShowsWhatEachPortReceivedAndAnswered) {
  const PortHandle modem = Open("COM1,38400,E,8");
  const PortHandle echo = Open("COM2,38400,E,8");
  ASSERT_FALSE(modem.IsNoPort());
  ASSERT_FALSE(echo.IsNoPort());
  Converse(modem, "AT<0d>", 9);
  Converse(echo, "<00>x", 2);
  EXPECT_EQ(transcript_.str(),
            "COM1 <- AT<0d>\n"
            "COM1 -> AT<0d><0d><0a>OK<0d><0a>\n"
            "COM2 <- <00>x\n"
            "COM2 -> <00>x\n");
}

TEST_F(SimulatorAtPort, MapNamesEveryPortAndOnlyTheSimulatedOnesHaveDevices) {
  const auto paths = simulator_.DevicePaths();
  EXPECT_TRUE(context_.map.Problems().empty());
  for (int number = 1; number <= 30; ++number) {
    const std::string name = "COM" + std::to_string(number);
    const auto found = paths.find(number);
    EXPECT_EQ(context_.map.DevicePath(name), found == paths.end() ? "" : found->second) << name;
  }
  EXPECT_EQ(PortMapText({}).find("/dev/ttyS"), std::string::npos);
}

}  // namespace
}  // namespace tamarind::devsim
