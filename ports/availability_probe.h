#pragma once

#include <array>

#include "app/port_slot.h"
#include "ports/port_channel.h"

namespace tamarind {

// Opens the slot's port with the fixed settings ",38400,E,8" (not the slot's own), records in
// the slot whether that worked and why not, and closes it again. Also records the device path.
void ProbePort(PortContext& context, PortSlot& slot);

// Probes slots 1 … 30 in ascending order.
void ProbeAllPorts(PortContext& context, std::array<PortSlot, 30>& slots);

}  // namespace tamarind
