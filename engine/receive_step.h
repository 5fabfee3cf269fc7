#pragma once

#include "app/model.h"

namespace tamarind {

// Reads what an available slot with a current line has answered and records it, time-stamped and
// counted ("time,line,answer,step,pass"), in the receive log and in Me1.
void ReceiveStep(Model& model, PortSlot& slot, PortHandle handle);

}  // namespace tamarind
