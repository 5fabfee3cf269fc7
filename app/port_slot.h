#pragma once

#include <string>

#include "app/line_list.h"
#include "ports/availability.h"
#include "ports/port_handle.h"

namespace tamarind {

inline constexpr int kPortCount = 30;
inline constexpr const char* kDefaultPortSettings = "38400,E,8";

// One of the thirty ports COM1 … COM30: what the window shows of it and what a job keeps for it.
struct PortSlot {
  int number = 0;                                       // 1 … 30
  std::string name;                                     // "COM1" … "COM30"; never changes
  std::string settings = kDefaultPortSettings;          // baud rate, parity letter, data bits
  Availability availability = Availability::NotProbed;  // set once by the probe
  std::string device;           // the device the port map gave it, for the window to show
  PortHandle handle = kNoPort;  // the port while a job has it open
  LineList queue;               // this pass's lines still to be sent (COM_Dn)
  std::string current_line;     // the line last taken off the queue (COM_Txn)

  bool IsAvailable() const { return tamarind::IsAvailable(availability); }
};

}  // namespace tamarind
