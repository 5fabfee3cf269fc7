// Parses arbitrary port map texts. Whatever the text, a device path is one trimmed line's value,
// only the thirty port names lead anywhere, and a map that names every port (what the tests and
// the demo write) sends no port to a default /dev/ttyS* device.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ports/port_map.h"

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const tamarind::PortMap map = tamarind::PortMap::Parse(text);

  for (const char* name : {"", "COM0", "COM31", "COM01", "COM", "COM1 ", "xCOM1"}) {
    if (!map.DevicePath(name).empty()) std::abort();
  }

  std::string every_port_named = text + "\n";
  for (int number = 1; number <= 30; ++number) {
    every_port_named += "COM" + std::to_string(number) + "=\n";
  }
  const tamarind::PortMap full = tamarind::PortMap::Parse(every_port_named);

  for (int number = 1; number <= 30; ++number) {
    const std::string name = "COM" + std::to_string(number);
    const std::string path = map.DevicePath(name);
    if (path.find_first_of("\r\n#") != std::string::npos) std::abort();
    if (!path.empty() && (IsBlank(path.front()) || IsBlank(path.back()))) std::abort();
    // Names are read in any case.
    std::string lower = name;
    lower[0] = 'c', lower[1] = 'o', lower[2] = 'm';
    if (map.DevicePath(lower) != path) std::abort();

    const std::string defaulted = "/dev/ttyS" + std::to_string(number - 1);
    const std::string completed = full.DevicePath(name);
    // A port the text names keeps its device; every other one now leads nowhere.
    if (completed != path && !(path == defaulted && completed.empty())) std::abort();
    if (completed == defaulted && path != defaulted) std::abort();
  }
  return 0;
}
