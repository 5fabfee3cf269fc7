#include "tools/simulator_options.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace tamarind::devsim {
namespace {

// A decimal number of digits only, within [minimum, maximum]; nothing else.
bool ReadNumber(std::string_view text, std::uint32_t minimum, std::uint32_t maximum,
                std::uint32_t& value) {
  if (text.empty() ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= minimum &&
         value <= maximum;
}

std::vector<std::string_view> SplitAtColons(std::string_view text) {
  std::vector<std::string_view> fields;
  for (;;) {
    const std::size_t colon = text.find(':');
    fields.push_back(text.substr(0, colon));
    if (colon == std::string_view::npos) return fields;
    text.remove_prefix(colon + 1);
  }
}

// Reads "COMn[:modem|:echo][:delay]" into `port`, or says what is wrong with it.
std::string ParsePort(std::string_view argument, SimulatedPortOptions& port) {
  const std::vector<std::string_view> fields = SplitAtColons(argument);
  if (fields.size() > 3) return "too many ':' fields";
  const std::string_view name = fields[0];
  std::uint32_t number = 0;
  if (!name.starts_with("COM") || !ReadNumber(name.substr(3), 1, 30, number) ||
      name.substr(3).starts_with('0')) {
    return "not a port name COM1 … COM30";
  }
  port.number = static_cast<int>(number);
  if (fields.size() >= 2) {
    if (fields[1] == "modem") {
      port.kind = BehaviourKind::Modem;
    } else if (fields[1] == "echo") {
      port.kind = BehaviourKind::Echo;
    } else {
      return "unknown device kind '" + std::string(fields[1]) + "' (modem or echo)";
    }
  }
  if (fields.size() == 3 &&
      !ReadNumber(fields[2], 0, kLongestAnswerDelayMs, port.answer_delay_ms)) {
    return "answer delay must be 0 … " + std::to_string(kLongestAnswerDelayMs) + " ms";
  }
  return "";
}

}  // namespace

ParsedOptions ParseOptions(const std::vector<std::string>& arguments) {
  ParsedOptions parsed;
  if (std::any_of(arguments.begin(), arguments.end(), [](const std::string& argument) {
        return argument == "--help" || argument == "-h";
      })) {
    parsed.options.help = true;
    return parsed;
  }
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--map") {
      if (i + 1 == arguments.size() || arguments[i + 1].empty()) {
        parsed.error = "--map needs a file name";
        return parsed;
      }
      parsed.options.map_file = arguments[++i];
      continue;
    }
    if (argument.starts_with("-")) {
      parsed.error = "unknown option " + argument;
      return parsed;
    }
    SimulatedPortOptions port;
    if (const std::string problem = ParsePort(argument, port); !problem.empty()) {
      parsed.error = argument + ": " + problem;
      return parsed;
    }
    const bool taken = std::any_of(parsed.options.ports.begin(), parsed.options.ports.end(),
                                   [&](const auto& other) { return other.number == port.number; });
    if (taken) {
      parsed.error = argument + ": COM" + std::to_string(port.number) + " is named twice";
      return parsed;
    }
    parsed.options.ports.push_back(port);
  }
  if (parsed.options.ports.empty()) parsed.error = "name at least one port, e.g. COM1";
  return parsed;
}

std::string UsageText() {
  return "usage: tamarind-devsim [--map FILE] PORT...\n"
         "\n"
         "Simulates serial devices on pseudo-terminals until SIGINT or SIGTERM.\n"
         "PORT is COMn[:KIND[:DELAY]]: COMn is COM1 ... COM30, KIND is modem (the default,\n"
         "Hayes-style: echo, OK, ERROR, ATE0, ATI) or echo (sends every byte back), DELAY\n"
         "is how many milliseconds the device waits before it answers (0 ... 60000).\n"
         "\n"
         "The port map lines (Tamarindports.txt, all thirty ports, unused ones to no\n"
         "device) are printed, or written to FILE with --map; on exit FILE is rewritten\n"
         "with every port mapped to no device. Then each received chunk is printed as\n"
         "'COMn <- bytes' and each answer as 'COMn -> bytes', in escape notation.\n"
         "\n"
         "example: tamarind-devsim --map Tamarindports.txt COM1 COM2:echo COM3:modem:250\n";
}

}  // namespace tamarind::devsim
