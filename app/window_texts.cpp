#include "app/window_texts.h"

#include <cstdint>

#include "ports/availability.h"
#include "ports/port_map.h"

namespace tamarind {
namespace {

// Length of the well-formed UTF-8 sequence at the start of `bytes` (no overlong forms, no
// surrogates, nothing above U+10FFFF), or 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view bytes) {
  const auto at = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
  const auto continuation = [&](std::size_t i, std::uint8_t low = 0x80, std::uint8_t high = 0xBF) {
    return i < bytes.size() && at(i) >= low && at(i) <= high;
  };
  const std::uint8_t lead = at(0);
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return continuation(1) ? 2 : 0;
  if (lead >= 0xE0 && lead <= 0xEF) {
    const std::uint8_t low = lead == 0xE0 ? 0xA0 : 0x80;
    const std::uint8_t high = lead == 0xED ? 0x9F : 0xBF;
    return continuation(1, low, high) && continuation(2) ? 3 : 0;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    const std::uint8_t low = lead == 0xF0 ? 0x90 : 0x80;
    const std::uint8_t high = lead == 0xF4 ? 0x8F : 0xBF;
    return continuation(1, low, high) && continuation(2) && continuation(3) ? 4 : 0;
  }
  return 0;
}

void AppendLatin1(std::string& text, std::uint8_t byte) {
  text += static_cast<char>(0xC0 | (byte >> 6));
  text += static_cast<char>(0x80 | (byte & 0x3F));
}

}  // namespace

std::string DisplayText(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  while (!bytes.empty()) {
    const std::size_t length = Utf8SequenceLength(bytes);
    if (length == 0) {
      AppendLatin1(text, static_cast<std::uint8_t>(bytes.front()));
      bytes.remove_prefix(1);
    } else {
      text.append(bytes.substr(0, length));
      bytes.remove_prefix(length);
    }
  }
  return text;
}

std::string ErrorBoxText(std::string_view message) {
  std::string text(message);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return text;
}

std::string PortToolTip(const PortSlot& slot) {
  std::string tip = slot.name;
  if (!slot.device.empty()) tip += " → " + DisplayText(slot.device);
  tip += ": ";
  tip += Describe(slot.availability);
  return tip;
}

std::string ProblemSummary(const Model& model) {
  std::string summary;
  for (const PortMapProblem& problem : model.ports.map.Problems()) {
    summary += std::string(PortMap::kFileName) + " line " + std::to_string(problem.line_number) +
               " ignored (" + problem.reason + "): " + DisplayText(problem.line) + "\n";
  }
  if (!model.log_problem.empty()) summary += DisplayText(model.log_problem) + "\n";
  if (!summary.empty()) summary.pop_back();
  return summary;
}

}  // namespace tamarind
