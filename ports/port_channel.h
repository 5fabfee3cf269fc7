#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "ports/availability.h"
#include "ports/comm_definition.h"
#include "ports/port_handle.h"
#include "ports/port_map.h"

namespace tamarind {

// The only code that touches serial ports. It keeps no per-port state: callers keep the handles
// it returns. What it shares for the whole run is here: the port map read at start-up and the
// one device-control record every open updates.
struct PortContext {
  PortMap map;
  DeviceControl device_control;
};

// Cuts the first `separator`-delimited token off `text`, in place, into `token`. A control byte
// (any byte that is negative as a signed char: below 0x20, or 0x80 and up) ends the whole text.
void CutToken(std::string& token, std::string& text, char separator);

// The device path and comm definition text made from a specification text such as
// "COM3,9600,N,8" (name, baud rate, parity letter, data bits; only the first character of the
// last field is used; the stop bits are always one).
struct OpenRequest {
  std::string port_name;   // "COM3"
  std::string device;      // the mapped path, "" when the name maps to no device
  std::string definition;  // "COM3:Baud=9600 Parity=N Data=8 Stop=1"
};
OpenRequest MakeOpenRequest(const PortContext& context, std::string_view specification);

// Opens and configures the port a specification text names: exclusive, non-blocking, raw, with
// the settings the definition text gives (applied even when the parse stopped early: a port that
// opened is returned even if its settings were refused). No port when it cannot be opened;
// `why`, when given, then says why.
PortHandle OpenPort(PortContext& context, std::string_view specification,
                    Availability* why = nullptr);

// Drops DTR and RTS, closes, and returns no port for the caller to store.
PortHandle ClosePort(PortHandle handle);

// Writes all of `bytes`, but never hangs: waits for the port only as long as the bytes need on
// the wire at its baud rate plus a margin, then gives up on the rest. A vanished device gives up
// at once.
void WritePort(PortHandle handle, std::string_view bytes);

// Replaces `buffer` by every byte waiting on the port, read without blocking, and returns how
// many were read. No port, or a vanished device, gives 0.
std::size_t ReadPort(PortHandle handle, std::string& buffer);

}  // namespace tamarind
