#include "app/model.h"

namespace tamarind {

Model::Model() {
  for (int number = 1; number <= kPortCount; ++number) {
    PortSlot& slot = Slot(number);
    slot.number = number;
    slot.name = "COM" + std::to_string(number);
  }
}

}  // namespace tamarind
