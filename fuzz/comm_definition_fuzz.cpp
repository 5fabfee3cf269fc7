// Parses arbitrary comm definition texts into the shared device-control record. Whatever the
// text, the record only ever holds settings a port can take, and a record written back out as a
// definition text parses to itself.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ports/comm_definition.h"

namespace {

using tamarind::DeviceControl;
using tamarind::Parity;
using tamarind::StopBits;

void CheckSettable(const DeviceControl& record) {
  if (record.data_bits != 0 && (record.data_bits < 5 || record.data_bits > 8)) std::abort();
}

std::string DefinitionOf(const DeviceControl& record) {
  constexpr const char* kParity[] = {"N", "E", "O", "M", "S"};
  constexpr const char* kStop[] = {"1", "1.5", "2"};
  return "COM1:Baud=" + std::to_string(record.baud_rate) +
         " Parity=" + kParity[static_cast<int>(record.parity)] +
         " Data=" + std::to_string(record.data_bits) +
         " Stop=" + kStop[static_cast<int>(record.stop_bits)];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  DeviceControl record;
  const bool parsed = tamarind::ParseCommDefinition(text, record);
  CheckSettable(record);

  // The same text on the same record gives the same record: parsing depends on nothing else.
  DeviceControl again = record;
  if (tamarind::ParseCommDefinition(text, again) != parsed || !(again == record)) std::abort();

  if (record.baud_rate != 0 && record.data_bits != 0) {
    DeviceControl written_back;
    if (!tamarind::ParseCommDefinition(DefinitionOf(record), written_back)) std::abort();
    if (!(written_back == record)) std::abort();
  }
  return 0;
}
