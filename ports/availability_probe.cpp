#include "ports/availability_probe.h"

namespace tamarind {

void ProbePort(PortContext& context, PortSlot& slot) {
  slot.device = context.map.DevicePath(slot.name);
  Availability why = Availability::OpenFailed;
  const PortHandle handle = OpenPort(context, slot.name + ",38400,E,8", &why);
  slot.availability = handle.IsNoPort() ? why : Availability::Available;
  ClosePort(handle);
}

void ProbeAllPorts(PortContext& context, std::array<PortSlot, 30>& slots) {
  for (PortSlot& slot : slots) ProbePort(context, slot);
}

}  // namespace tamarind
