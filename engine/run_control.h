#pragma once

#include "app/model.h"

namespace tamarind {

inline constexpr int kPollPeriodMs = 3000;
inline constexpr int kStepPeriodMs = 100;
inline constexpr int kMinimumIntervalMs = 200;

// The poll tick, every 3000 ms while idle: loads and distributes the job file and, when any port
// has a line, starts the job and sends every port its first line. Raises FileError when the job
// file is held open for writing; the poll is then skipped.
void Timer1Timer(Model& model);

// The step tick, every 100 ms while a job runs: when more than the send interval has passed since
// the last step, records every answer, then starts the next pass, completes the job, or sends
// every port its next line.
void Timer2Timer(Model& model);

}  // namespace tamarind
