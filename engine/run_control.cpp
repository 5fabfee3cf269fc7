#include "engine/run_control.h"

#include <cstdint>

#include "app/file_access.h"
#include "app/text_to_int.h"
#include "engine/job.h"
#include "engine/job_log.h"
#include "engine/receive_step.h"
#include "engine/send_step.h"

namespace tamarind {
namespace {

void CompleteJob(Model& model) {
  model.Timer1_enabled = true;
  model.Timer2_enabled = false;
  model.EdTm_enabled = true;
  for (PortSlot& slot : model.slots) slot.handle = ClosePort(slot.handle);
  // Emptied, never deleted: the empty file tells the job's writer that the job is done. When it
  // cannot be emptied it keeps its lines and the next poll runs the job again.
  ReplaceFile(kJobFileName, "");
  AppendJobLog(model, "");
  model.EdTx = kEdTxIdle;
}

bool JobComplete(const Model& model) {
  // Compared in 64 bits: a repeat count of 2147483647 asks for that many passes more, not none.
  return std::int64_t{model.PassCount} >= std::int64_t{TextToInt(model.EdCnt)} + 1;
}

}  // namespace

void Timer1Timer(Model& model) {
  if (!model.Timer1_enabled) return;
  LoadJob(model);
  DistributeJob(model);
  if (AllQueuesEmpty(model)) return;

  model.Me1.Clear();
  model.Timer1_enabled = false;
  model.Timer2_enabled = true;
  model.EdTm_enabled = false;
  // The first step is due by the interval as typed, before the lower limit is applied.
  model.NextDue = static_cast<Tick>(TextToInt(model.EdTm)) + model.clock->TickCount();
  model.StepCount = 0;
  model.PassCount = 0;
  if (TextToInt(model.EdTm) < kMinimumIntervalMs) model.EdTm = "200";
  model.log_problem_kept_in_job = false;
  SendAllPorts(model);
}

void Timer2Timer(Model& model) {
  if (!model.Timer2_enabled) return;
  const Tick now = model.clock->TickCount();
  const auto interval = static_cast<Tick>(TextToInt(model.EdTm));
  // Unsigned and wrapping: not due while the due time is at most the interval ahead of now.
  if (static_cast<Tick>(model.NextDue - now) < interval) return;
  model.NextDue = now + interval;

  for (PortSlot& slot : model.slots) ReceiveStep(model, slot, slot.handle);
  model.StepCount += 1;

  if (AllQueuesEmpty(model)) {
    model.PassCount += 1;
    if (JobComplete(model)) {
      CompleteJob(model);
      return;
    }
    model.StepCount = 0;
    // Every pass is distributed from the job as loaded at its start.
    DistributeJob(model);
  }
  SendAllPorts(model);
}

}  // namespace tamarind
