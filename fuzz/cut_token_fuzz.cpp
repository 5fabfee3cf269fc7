// Cuts arbitrary texts into tokens with an arbitrary separator until nothing is left, and builds
// open requests from arbitrary specification texts. A token never holds the separator or a
// control byte, what is cut off plus what is left is what was there, and the cutting ends.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "ports/port_channel.h"

namespace {

// Control bytes and every byte from 0x80 up: negative or below 32 as a signed char.
bool IsControl(char c) {
  return static_cast<signed char>(c) < 32;
}

void CheckCuts(std::string text, char separator) {
  const std::size_t steps_allowed = text.size() + 1;
  for (std::size_t step = 0; step < steps_allowed; ++step) {
    const std::string before = text;
    std::string token;
    tamarind::CutToken(token, text, separator);
    for (const char c : token) {
      if (c == separator || IsControl(c)) std::abort();
    }
    if (!text.empty()) {
      if (before != token + separator + text) std::abort();
      continue;
    }
    // The last token: the whole text, or the text up to its first control byte or a final
    // separator.
    if (!before.starts_with(token)) std::abort();
    if (token.size() < before.size()) {
      const char next = before[token.size()];
      const bool final_separator = next == separator && before.size() == token.size() + 1;
      if (!IsControl(next) && !final_separator) std::abort();
    }
    return;
  }
  std::abort();  // a cut that left the text as long as it was would never end
}

void CheckOpenRequest(const std::string& specification) {
  const tamarind::PortContext context;
  const tamarind::OpenRequest request = tamarind::MakeOpenRequest(context, specification);
  for (const char c : request.port_name) {
    if (c == ',' || IsControl(c)) std::abort();
  }
  if (!request.definition.starts_with(request.port_name + ":Baud=") ||
      !request.definition.ends_with(" Stop=1")) {
    std::abort();
  }
  // Only the thirty port names lead anywhere.
  if (!request.device.empty()) {
    const std::string& name = request.port_name;
    if (name.size() < 4 || name.size() > 5 || (name[0] | 0x20) != 'c') std::abort();
    const int number = std::atoi(name.c_str() + 3);
    if (number < 1 || number > 30) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const char separator =
      input.ConsumeBool() ? ',' : static_cast<char>(input.ConsumeIntegral<char>());
  const std::string text = input.ConsumeRemainingBytesAsString();
  CheckCuts(text, separator);
  CheckOpenRequest(text);
  return 0;
}
