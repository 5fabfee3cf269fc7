#include "tools/port_map_text.h"

namespace tamarind::devsim {

std::string PortMapText(const std::map<int, std::string>& devices) {
  std::string text = "# tamarind-devsim: every port named, unused ones to no device\n";
  for (int number = 1; number <= 30; ++number) {
    const auto found = devices.find(number);
    text += "COM" + std::to_string(number) + "=";
    if (found != devices.end()) text += found->second;
    text += "\n";
  }
  return text;
}

}  // namespace tamarind::devsim
