#pragma once

#include "app/model.h"

namespace tamarind {

inline constexpr const char* kJobFileName = "TxData.txt";

// Empties the job buffer, then fills it from the job file if that can be opened. Raises
// FileError (buffer left empty) while another process holds the file open for writing, so a
// half-written job is never run.
void LoadJob(Model& model);

// Copies the job buffer into the working copy and refills all thirty queues from it: a line goes
// to port n when it holds the marker "COMn," anywhere (case-sensitive; "COM1," is not found
// inside "COM11,"). Every queue keeps the job's order; a line with two markers goes to both.
void DistributeJob(Model& model);

// True when none of the thirty queues holds a line.
bool AllQueuesEmpty(const Model& model);

}  // namespace tamarind
