// Loads arbitrary bytes as the job file and distributes them: every queue must hold exactly the
// lines, in the job's order, that contain its port's marker as a plain substring, each cut to the
// 4096 bytes a line list reads.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/line_list.h"
#include "app/model.h"
#include "engine/job.h"
#include "tests/support/scratch_dir.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static tamarind::testing::ScratchDir scratch;
  tamarind::testing::WriteFile(tamarind::kJobFileName,
                               std::string(reinterpret_cast<const char*>(data), size));

  tamarind::Model model;
  tamarind::LoadJob(model);
  tamarind::DistributeJob(model);

  tamarind::LineList file;
  file.FillFromFile(tamarind::kJobFileName);
  if (!(model.COMall_D == file)) std::abort();

  bool any_line = false;
  for (int number = 1; number <= tamarind::kPortCount; ++number) {
    const std::string marker = "COM" + std::to_string(number) + ",";
    const tamarind::LineList& queue = model.Slot(number).queue;
    std::size_t queued = 0;
    for (std::size_t i = 0; i < file.Count(); ++i) {
      const std::string line = file.Line(i);
      if (line.find(marker) == std::string::npos) continue;
      if (queued >= queue.Count() || queue.WholeLine(queued) != line) std::abort();
      ++queued;
    }
    if (queued != queue.Count()) std::abort();
    any_line = any_line || queued > 0;
  }
  if (tamarind::AllQueuesEmpty(model) == any_line) std::abort();

  // Every pass is distributed from the same loaded job, so a second distribution changes nothing.
  const auto first_queues = model.slots;
  tamarind::DistributeJob(model);
  for (std::size_t k = 0; k < model.slots.size(); ++k) {
    if (!(model.slots[k].queue == first_queues[k].queue)) std::abort();
  }
  return 0;
}
