#pragma once

#include "app/model.h"

namespace tamarind {

// Sends the slot's next line: takes it off the queue as the current line, strips the addressing
// prefix, opens the port with the slot's own settings on first use, shows the line in EdTx and
// writes the decoded bytes. Takes the slot's stored handle and returns the one to store in its
// place; a slot whose queue is empty keeps its handle, so its port stays owned until the job ends.
PortHandle SendStep(Model& model, PortSlot& slot, PortHandle handle);

// SendStep for slots 1 … 30 in order, storing each result as the slot's handle.
void SendAllPorts(Model& model);

}  // namespace tamarind
