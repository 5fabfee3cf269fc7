#pragma once

#include <cstdint>
#include <string_view>

namespace tamarind {

enum class Parity { None, Even, Odd, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

// The line settings every open of the run shares. It starts all zero and is never cleared, so a
// setting that a definition text does not name keeps what an earlier open left in it.
struct DeviceControl {
  std::uint32_t baud_rate = 0;
  Parity parity = Parity::None;
  int data_bits = 0;  // 0 until a definition names it; the backend then leaves the tty's own
  StopBits stop_bits = StopBits::One;

  friend bool operator==(const DeviceControl&, const DeviceControl&) = default;
};

// Parses a comm definition text such as "COM1:Baud=38400 Parity=E Data=8 Stop=1" into `record`.
// Keys are Baud, Parity, Data and Stop, in any case; values are applied in order, and the first
// invalid value (empty, a non-numeric baud rate, a parity other than N/E/O/M/S, data bits outside
// 5…8, stop bits other than 1/1.5/2) ends the parse with false, leaving the fields parsed before
// it updated and the rest untouched.
bool ParseCommDefinition(std::string_view definition, DeviceControl& record);

}  // namespace tamarind
