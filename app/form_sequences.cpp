#include "app/form_sequences.h"

#include <string>

#include "app/settings_file.h"
#include "log/receive_log.h"
#include "ports/availability_probe.h"
#include "ports/port_map.h"

namespace tamarind {

void FormCreate(Model& model) {
  LoadSettings(model);
  model.ports.map = PortMap::Read();
  ProbeAllPorts(model.ports, model.slots);
  std::string why;
  if (!WriteStartupHeader(*model.clock, &why)) model.log_problem = why;
}

void FormClose(Model& model) {
  SaveSettings(model);
}

}  // namespace tamarind
