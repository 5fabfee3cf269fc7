#include "ports/write_wait.h"

namespace tamarind {

std::chrono::milliseconds WriteWaitLimit(std::size_t byte_count, std::uint32_t baud_rate,
                                         int bits_per_character) {
  constexpr std::uint64_t kUnknownRate = 9600;
  constexpr std::int64_t kMarginMs = 200;
  const std::uint64_t rate = baud_rate == 0 ? kUnknownRate : baud_rate;
  const std::uint64_t bits =
      static_cast<std::uint64_t>(byte_count) * static_cast<std::uint64_t>(bits_per_character);
  // Rounded up, so that even one byte at a high rate gets a whole millisecond.
  const std::uint64_t wire_ms = (bits * 1000 + rate - 1) / rate;
  return std::chrono::milliseconds(static_cast<std::int64_t>(2 * wire_ms) + kMarginMs);
}

}  // namespace tamarind
