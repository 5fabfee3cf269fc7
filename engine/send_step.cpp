#include "engine/send_step.h"

#include <algorithm>
#include <string_view>

#include "engine/escapes.h"

namespace tamarind {
namespace {

// The addressing prefix ends at the first comma among the line's first ten characters; with no
// comma there, the first eleven characters go.
std::string_view StripPrefix(std::string_view line) {
  constexpr std::size_t kPrefixSearch = 10;
  const std::size_t comma = line.substr(0, kPrefixSearch).find(',');
  const std::size_t cut = (comma == std::string_view::npos ? kPrefixSearch : comma) + 1;
  return line.substr(std::min(cut, line.size()));
}

}  // namespace

PortHandle SendStep(Model& model, PortSlot& slot, PortHandle handle) {
  if (slot.queue.Empty()) {
    slot.current_line.clear();
    // The port stays open and owned by the slot until the job completes.
    return handle;
  }
  // The line is used up from here on, whether or not it can be sent; the receive step still
  // records it for an available port.
  slot.current_line = slot.queue.Line(0);
  slot.queue.Remove(0);
  const std::string_view payload = StripPrefix(slot.current_line);

  if (!slot.IsAvailable()) return handle;
  if (handle.IsNoPort()) {
    handle = OpenPort(model.ports, slot.name + "," + slot.settings);
    if (handle.IsNoPort()) return kNoPort;
  }
  model.EdTx = slot.current_line;
  WritePort(handle, DecodeEscapes(payload));
  return handle;
}

void SendAllPorts(Model& model) {
  for (PortSlot& slot : model.slots) slot.handle = SendStep(model, slot, slot.handle);
}

}  // namespace tamarind
