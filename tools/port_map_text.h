#pragma once

#include <map>
#include <string>

namespace tamarind::devsim {

// The text of a port map "Tamarindports.txt" naming all thirty ports: those in `devices` (port
// number → device path) map there, every other one to no device ("COMn="), so that nothing
// falls through to the machine's own serial ports. LF line ends.
std::string PortMapText(const std::map<int, std::string>& devices);

}  // namespace tamarind::devsim
