#include "tools/device_behaviour.h"

#include <cctype>

namespace tamarind::devsim {
namespace {

constexpr const char* kCrLf = "\r\n";

std::string Framed(std::string_view reply) {
  return kCrLf + std::string(reply) + kCrLf;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

char Upper(char c) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

}  // namespace

std::string HayesModem::Answer(std::string_view received) {
  std::string answer;
  for (const char byte : received) {
    if (echo_) answer += byte;
    if (byte == '\r') {
      const bool overflowed = line_overflowed_;
      const std::string line = std::move(line_);
      line_.clear();
      line_overflowed_ = false;
      if (overflowed) {
        answer += Framed("ERROR");
      } else if (!line.empty()) {
        answer += ExecuteLine(line);
      }
    } else if (byte == '\n') {
      continue;
    } else if (line_.size() < kCommandLineLimit) {
      line_ += byte;
    } else {
      line_overflowed_ = true;
    }
  }
  return answer;
}

// Runs one command line: "AT" (either case) and then commands of a letter and optional digits.
// Extended commands ("+…") take the rest of the line and are simply accepted.
std::string HayesModem::ExecuteLine(const std::string& line) {
  if (line.size() < 2 || Upper(line[0]) != 'A' || Upper(line[1]) != 'T') return Framed("ERROR");

  std::string information;
  bool echo = echo_;
  std::size_t at = 2;
  while (at < line.size()) {
    const char command = Upper(line[at++]);
    if (command == ' ') continue;
    if (command == '+') break;
    if (command == '&' && at < line.size()) ++at;
    std::string digits;
    while (at < line.size() && IsDigit(line[at])) digits += line[at++];
    if (command == 'E') {
      if (digits.empty() || digits == "0") {
        echo = false;
      } else if (digits == "1") {
        echo = true;
      } else {
        return Framed("ERROR");
      }
    } else if (command == 'Z') {
      echo = true;
    } else if (command == 'I') {
      information += Framed(kIdentification);
    }
  }
  echo_ = echo;
  return information + Framed("OK");
}

std::unique_ptr<DeviceBehaviour> MakeBehaviour(BehaviourKind kind) {
  switch (kind) {
    case BehaviourKind::Modem:
      return std::make_unique<HayesModem>();
    case BehaviourKind::Echo:
      return std::make_unique<ByteEcho>();
  }
  return nullptr;
}

}  // namespace tamarind::devsim
