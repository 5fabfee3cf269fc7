#pragma once

#include <cstdint>

namespace tamarind {

// An open serial port, or the value no port (all bits set, like the platform's invalid handle).
// Every port operation accepts no port and then does nothing. The handle owns nothing by itself:
// whoever stores it closes it with ClosePort.
struct PortHandle {
  std::intptr_t value = -1;

  bool IsNoPort() const { return value == -1; }
  friend bool operator==(PortHandle, PortHandle) = default;
};

inline constexpr PortHandle kNoPort{};

}  // namespace tamarind
