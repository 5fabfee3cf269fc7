#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "ports/availability.h"
#include "ports/comm_definition.h"
#include "ports/port_handle.h"

// What each platform's serial backend supplies to the port channel (serial_posix.cpp here). The
// channel checks for no port before it calls any of these; they never see it.
namespace tamarind::serial_backend {

// Where the kernel names the devices that are the system console.
inline constexpr const char* kActiveConsolesFile = "/sys/class/tty/console/active";

// True when `device` is one of the system consoles that `active_consoles_file` names (or the
// console device itself). Decided from file metadata only: the device is never opened.
bool IsSystemConsole(const std::string& device,
                     const std::string& active_consoles_file = kActiveConsolesFile);

struct OpenOutcome {
  PortHandle handle = kNoPort;
  Availability why = Availability::OpenFailed;  // Available when `handle` is a port
};

// Opens an existing serial device for reading and writing, exclusively and without blocking.
// Never opens a system console.
OpenOutcome OpenDevice(const std::string& device);

// Sets the line to raw mode with the record's settings; a setting the record does not name yet
// (a zero baud rate or data bits) keeps what the device has. Failures are ignored.
void ApplyDeviceControl(PortHandle handle, const DeviceControl& record);

// Drops DTR, then RTS, then closes.
void CloseDevice(PortHandle handle);

// Writes `bytes`, waiting at most the wire time at the line's speed plus a margin.
void WriteDevice(PortHandle handle, std::string_view bytes);

// Replaces `buffer` by everything waiting and returns how many bytes were read.
std::size_t ReadDevice(PortHandle handle, std::string& buffer);

}  // namespace tamarind::serial_backend
