#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/clock.h"
#include "app/line_list.h"
#include "app/port_slot.h"
#include "ports/port_channel.h"

namespace tamarind {

inline constexpr const char* kEdTxIdle = "送信データ";

// Everything the program knows, as plain data: the thirty port slots and the window-wide state.
// The window only shows it and feeds the user's edits into it; the handlers of the core change
// it. Lives as long as the program.
struct Model {
  Model();

  std::array<PortSlot, kPortCount> slots;  // slots[0] is COM1
  PortSlot& Slot(int number) { return slots[static_cast<std::size_t>(number - 1)]; }

  LineList COMall_D;    // the job buffer; also the scratch list for the settings file
  LineList COMall_tmp;  // the job working copy the queues are filled from
  LineList Me1;         // the records of the current job, as shown

  std::string EdTx = kEdTxIdle;  // the line last sent
  std::string EdTm = "500";      // send interval, milliseconds, as typed
  std::string EdCnt = "0";       // repeat count, as typed
  bool EdTm_enabled = true;

  bool Timer1_enabled = true;   // poll timer, 3000 ms
  bool Timer2_enabled = false;  // step timer, 100 ms

  std::int32_t StepCount = 0;
  std::int32_t PassCount = 0;
  Tick NextDue = 0;

  PortContext ports;                    // port map and the shared device-control record
  const Clock* clock = &SystemClock();  // injectable for tests

  // Failures that are silent in behaviour but must not go unseen; the window shows them once.
  std::string log_problem;  // why the receive log could not be written, "" when it could
  bool log_problem_kept_in_job = false;  // the running job's first log failure is in log_problem
};

}  // namespace tamarind
