#pragma once

#include <map>
#include <string>
#include <vector>

namespace tamarind {

// A line of the port map that was ignored, kept so the window can show it once.
struct PortMapProblem {
  int line_number = 0;  // counted from 1
  std::string line;     // the line as it stood
  std::string reason;   // what is wrong with it, in a few words
};

// Where each port name leads: the optional file "Tamarindports.txt", one "COMn=path" a line
// ('#' starts a comment, blanks around '=' allowed, "COMn=" alone means no device). A port not
// listed maps to /dev/ttyS<n-1>. Read once at start-up, before the probe.
class PortMap {
 public:
  static constexpr const char* kFileName = "Tamarindports.txt";

  // Reads `file_name`; a missing file gives the default map with no problems.
  static PortMap Read(const std::string& file_name = kFileName);
  // Parses the file's text (any line ends).
  static PortMap Parse(const std::string& text);

  // The device path for a port name ("COM7"), or the empty text when the name maps to no device
  // (listed as "COMn=", or not a port name COM1 … COM30 at all).
  std::string DevicePath(const std::string& port_name) const;

  const std::vector<PortMapProblem>& Problems() const { return problems_; }

 private:
  std::map<int, std::string> listed_;  // port number → path ("" for no device)
  std::vector<PortMapProblem> problems_;
};

}  // namespace tamarind
