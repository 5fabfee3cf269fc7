#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace tamarind {

// How long a write of `byte_count` bytes may wait for the port to take them: twice their time on
// the wire at `baud_rate` with `bits_per_character` (start, data, parity and stop bits), plus
// 200 ms. An unknown rate (0) counts as 9600 baud.
std::chrono::milliseconds WriteWaitLimit(std::size_t byte_count, std::uint32_t baud_rate,
                                         int bits_per_character);

}  // namespace tamarind
