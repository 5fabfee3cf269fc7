#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/device_behaviour.h"

namespace tamarind::devsim {

// One simulated device, as named on the command line: "COM3", "COM3:echo", "COM3:modem:250".
struct SimulatedPortOptions {
  int number = 0;  // 1 … 30
  BehaviourKind kind = BehaviourKind::Modem;
  std::uint32_t answer_delay_ms = 0;  // how long the device waits before it answers

  friend bool operator==(const SimulatedPortOptions&, const SimulatedPortOptions&) = default;
};

struct SimulatorOptions {
  std::vector<SimulatedPortOptions> ports;  // in the order given
  std::string map_file;                     // where to write the port map; "" prints it
  bool help = false;
};

// The options, or `error` saying which argument is wrong and why.
struct ParsedOptions {
  SimulatorOptions options;
  std::string error;  // "" when the arguments were good
};

inline constexpr std::uint32_t kLongestAnswerDelayMs = 60000;

// Reads the command line (without the program name).
ParsedOptions ParseOptions(const std::vector<std::string>& arguments);

// The usage text printed for --help and after an error.
std::string UsageText();

}  // namespace tamarind::devsim
