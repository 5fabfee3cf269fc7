#pragma once

#include <string_view>

#include "app/model.h"

namespace tamarind {

// Appends a line of the running job to the receive log. The job goes on when the log cannot be
// written, but the first such failure of the job is kept in `model.log_problem` for the window;
// later ones of the same job do not overwrite it.
void AppendJobLog(Model& model, std::string_view line);

}  // namespace tamarind
