#include "engine/receive_step.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/escapes.h"
#include "engine/job_log.h"

namespace tamarind {
namespace {

// "time,line,answer,step,pass". The answer is kept whole, however long; the counters are shown
// one higher than counted, in 64 bits so that no count can overflow on the way.
std::string MakeRecord(const Model& model, const std::string& line, const std::string& answer) {
  const std::int64_t step = std::int64_t{model.StepCount} + 1;
  const std::int64_t pass = std::int64_t{model.PassCount} + 1;
  std::string record = model.clock->TimeText();
  record.reserve(record.size() + line.size() + answer.size() + 32);
  record += ',';
  record += line;
  record += ',';
  record += answer;
  record += ',';
  record += std::to_string(step);
  record += ',';
  record += std::to_string(pass);
  return record;
}

}  // namespace

void ReceiveStep(Model& model, PortSlot& slot, PortHandle handle) {
  if (!slot.IsAvailable()) return;
  // An empty current line means the queue was found empty at the last send step.
  if (slot.current_line.empty()) return;
  std::string buffer;
  const std::size_t count = ReadPort(handle, buffer);
  const std::string answer = EncodeEscapes(std::string_view(buffer).substr(0, count));
  const std::string record = MakeRecord(model, slot.current_line, answer);
  AppendJobLog(model, record);
  model.Me1.Append(record);
}

}  // namespace tamarind
