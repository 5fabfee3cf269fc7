#pragma once

#include <string_view>

namespace tamarind {

// Whether a port could be opened when the ports were probed at start-up, and if not, why.
// Decided once per run and never revised.
enum class Availability {
  NotProbed,         // the probe has not run (or was skipped): unavailable
  Available,         // opened and closed again by the probe
  NoDevice,          // the port map gives this port no device
  Absent,            // the device does not exist
  HeldByOther,       // another program (or another handle of ours) has it open
  PermissionDenied,  // the device exists but may not be opened by this user
  SystemConsole,     // the device is an active system console, which is never opened
  OpenFailed,        // any other reason the open failed
};

inline bool IsAvailable(Availability availability) {
  return availability == Availability::Available;
}

// A short English reason for the window's tooltip ("held by another program").
std::string_view Describe(Availability availability);

}  // namespace tamarind
