#include "ports/comm_definition.h"

#include <charconv>
#include <optional>

namespace tamarind {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameKey(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Upper(a[i]) != Upper(b[i])) return false;
  }
  return true;
}

// A rate of zero is refused: on a serial line it means "hang up", never a speed.
std::optional<std::uint32_t> ParseBaudRate(std::string_view value) {
  std::uint32_t rate = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), rate);
  if (value.empty() || error != std::errc() || end != value.data() + value.size() || rate == 0) {
    return std::nullopt;
  }
  return rate;
}

std::optional<Parity> ParseParity(std::string_view value) {
  if (value.size() != 1) return std::nullopt;
  switch (Upper(value[0])) {
    case 'N':
      return Parity::None;
    case 'E':
      return Parity::Even;
    case 'O':
      return Parity::Odd;
    case 'M':
      return Parity::Mark;
    case 'S':
      return Parity::Space;
    default:
      return std::nullopt;
  }
}

std::optional<int> ParseDataBits(std::string_view value) {
  if (value.size() != 1 || value[0] < '5' || value[0] > '8') return std::nullopt;
  return value[0] - '0';
}

std::optional<StopBits> ParseStopBits(std::string_view value) {
  if (value == "1") return StopBits::One;
  if (value == "1.5") return StopBits::OneAndHalf;
  if (value == "2") return StopBits::Two;
  return std::nullopt;
}

// Applies one "Key=value" item; false when the key is unknown or the value invalid.
bool ApplyItem(std::string_view item, DeviceControl& record) {
  const std::size_t equals = item.find('=');
  if (equals == std::string_view::npos) return false;
  const std::string_view key = item.substr(0, equals);
  const std::string_view value = item.substr(equals + 1);
  if (SameKey(key, "Baud")) {
    const auto rate = ParseBaudRate(value);
    if (!rate) return false;
    record.baud_rate = *rate;
  } else if (SameKey(key, "Parity")) {
    const auto parity = ParseParity(value);
    if (!parity) return false;
    record.parity = *parity;
  } else if (SameKey(key, "Data")) {
    const auto bits = ParseDataBits(value);
    if (!bits) return false;
    record.data_bits = *bits;
  } else if (SameKey(key, "Stop")) {
    const auto stop = ParseStopBits(value);
    if (!stop) return false;
    record.stop_bits = *stop;
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool ParseCommDefinition(std::string_view definition, DeviceControl& record) {
  // The device name before the colon is not a setting.
  const std::size_t colon = definition.find(':');
  if (colon != std::string_view::npos) definition.remove_prefix(colon + 1);

  bool named_anything = false;
  while (true) {
    while (!definition.empty() && IsBlank(definition.front())) definition.remove_prefix(1);
    if (definition.empty()) break;
    std::size_t end = 0;
    while (end < definition.size() && !IsBlank(definition[end])) ++end;
    if (!ApplyItem(definition.substr(0, end), record)) return false;
    named_anything = true;
    definition.remove_prefix(end);
  }
  return named_anything;
}

}  // namespace tamarind
