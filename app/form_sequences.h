#pragma once

#include "app/model.h"

namespace tamarind {

// The creation sequence, run once while the window is still hidden: load the settings file, read
// the port map, probe all thirty ports, write the start-up header to the receive log. A FileError
// from the settings file propagates and skips the rest, so no port is probed (every slot stays
// unavailable for the run) and no header is written. A header that cannot be written goes to
// model.log_problem.
void FormCreate(Model& model);

// The close sequence: saves the settings file and nothing else (open ports, the timers and a
// running job are left alone; the job file stays as it is). A FileError propagates, and the
// window then stays open.
void FormClose(Model& model);

}  // namespace tamarind
