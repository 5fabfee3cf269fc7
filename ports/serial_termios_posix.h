#pragma once

// The kernel's own termios2, which carries any baud rate. It cannot share a translation unit
// with the C library's <termios.h>, so nothing here includes that.
#include <asm/termbits.h>

#include <cstdint>

#include "ports/comm_definition.h"

namespace tamarind::serial_backend {

// The line settings for `record`, starting from the device's `current` ones: raw mode (no echo,
// no canonical input, no signals, no CR/LF translation, no output processing, no parity marking,
// checking or stripping), receiver on, modem lines ignored, no hardware or software flow control,
// reads that return at once (VMIN = VTIME = 0), and the record's speed, parity, data and stop
// bits. A zero baud rate or zero data bits (not named by any definition yet) keep the current.
termios2 ToTermios(const DeviceControl& record, const termios2& current);

// The line speed `settings` describe, in bits per second; 0 when unknown.
std::uint32_t BaudRateOf(const termios2& settings);

// Bits on the wire per character: start, data, parity and stop bits.
int BitsPerCharacter(const termios2& settings);

}  // namespace tamarind::serial_backend
