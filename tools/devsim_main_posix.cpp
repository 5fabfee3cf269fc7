// tamarind-devsim: serial devices on pseudo-terminals for trying Tamarind without hardware.

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "app/clock.h"
#include "tools/device_simulator.h"
#include "tools/port_map_text.h"
#include "tools/simulator_options.h"

namespace {

volatile std::sig_atomic_t stop_requested = 0;

void RequestStop(int) {
  stop_requested = 1;
}

// No SA_RESTART: the signal cuts the simulator's poll short, so it stops at once.
void InstallStopHandlers() {
  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
}

// Written beside the target and renamed over it, so a reader never sees half a map.
bool WriteWhole(const std::string& file_name, const std::string& text) {
  const std::string temporary = file_name + ".tmp" + std::to_string(::getpid());
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush()) return false;
  }
  if (std::rename(temporary.c_str(), file_name.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tamarind::devsim;
  const ParsedOptions parsed = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (parsed.options.help) {
    std::cout << UsageText();
    return 0;
  }
  if (!parsed.error.empty()) {
    std::cerr << "tamarind-devsim: " << parsed.error << "\n\n" << UsageText();
    return 2;
  }
  const SimulatorOptions& options = parsed.options;
  InstallStopHandlers();

  try {
    DeviceSimulator simulator(options.ports, tamarind::SystemClock(), std::cout);
    const std::string map_text = PortMapText(simulator.DevicePaths());
    if (options.map_file.empty()) {
      std::cout << map_text << std::flush;
    } else if (!WriteWhole(options.map_file, map_text)) {
      std::cerr << "tamarind-devsim: cannot write the port map " << options.map_file << "\n";
      return 1;
    }
    for (const SimulatedPortOptions& port : options.ports) {
      std::cerr << "tamarind-devsim: COM" << port.number << " is a "
                << (port.kind == BehaviourKind::Modem ? "modem" : "byte echo") << " on "
                << simulator.DevicePaths().at(port.number) << ", answer delay "
                << port.answer_delay_ms << " ms\n";
    }

    while (!stop_requested) simulator.ServiceOnce(std::chrono::milliseconds(200));
  } catch (const std::system_error& error) {
    std::cerr << "tamarind-devsim: " << error.what() << "\n";
    return 1;
  }

  // The pty paths are gone now and may soon name someone else's terminal: leave a map that
  // sends every port to no device rather than one that points there.
  if (!options.map_file.empty() && !WriteWhole(options.map_file, PortMapText({}))) {
    std::cerr << "tamarind-devsim: cannot reset the port map " << options.map_file << "\n";
    return 1;
  }
  std::cerr << "tamarind-devsim: stopped\n";
  return 0;
}
