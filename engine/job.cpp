#include "engine/job.h"

#include <bitset>
#include <string_view>

#include "app/file_access.h"

namespace tamarind {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The ports whose marker "COMn," the line holds anywhere. One scan over the line instead of thirty
// substring searches: after each "COM", "n," with n written without a leading zero is the only
// way a marker can follow, so "COM1," is never found inside "COM11," or "COM01,".
std::bitset<kPortCount + 1> MarkedPorts(std::string_view line) {
  std::bitset<kPortCount + 1> marked;
  constexpr std::string_view kMarkerStart = "COM";
  for (std::size_t at = line.find(kMarkerStart); at != std::string_view::npos;
       at = line.find(kMarkerStart, at + 1)) {
    const std::string_view rest = line.substr(at + kMarkerStart.size());
    if (rest.size() < 2 || !IsDigit(rest[0]) || rest[0] == '0') continue;
    const int first = rest[0] - '0';
    if (rest[1] == ',') {
      marked.set(static_cast<std::size_t>(first));
    } else if (rest.size() >= 3 && IsDigit(rest[1]) && rest[2] == ',') {
      const int number = first * 10 + (rest[1] - '0');
      if (number <= kPortCount) marked.set(static_cast<std::size_t>(number));
    }
  }
  return marked;
}

}  // namespace

void LoadJob(Model& model) {
  model.COMall_D.Clear();
  // A missing or unreadable job file is simply no job. One that opens but is still held open for
  // writing makes the fill raise, so the writer's half-written job is left for a later poll.
  if (CanOpenForReading(kJobFileName)) model.COMall_D.FillFromFile(kJobFileName);
}

void DistributeJob(Model& model) {
  model.COMall_tmp.CopyFrom(model.COMall_D);
  for (PortSlot& slot : model.slots) slot.queue.Clear();
  const std::size_t count = model.COMall_tmp.Count();
  for (std::size_t index = 0; index < count; ++index) {
    const std::string& line = model.COMall_tmp.WholeLine(index);
    const std::bitset<kPortCount + 1> marked = MarkedPorts(line);
    if (marked.none()) continue;
    for (int number = 1; number <= kPortCount; ++number) {
      if (marked.test(static_cast<std::size_t>(number))) model.Slot(number).queue.Append(line);
    }
  }
}

bool AllQueuesEmpty(const Model& model) {
  for (const PortSlot& slot : model.slots) {
    if (!slot.queue.Empty()) return false;
  }
  return true;
}

}  // namespace tamarind
