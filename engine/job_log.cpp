#include "engine/job_log.h"

#include <string>

#include "log/receive_log.h"

namespace tamarind {

void AppendJobLog(Model& model, std::string_view line) {
  std::string why;
  if (AppendLog(line, &why) || model.log_problem_kept_in_job) return;
  model.log_problem = why;
  model.log_problem_kept_in_job = true;
}

}  // namespace tamarind
