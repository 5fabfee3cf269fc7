#pragma once

#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/clock.h"
#include "tools/device_behaviour.h"
#include "tools/pty_pair.h"
#include "tools/simulator_options.h"

namespace tamarind::devsim {

// The simulated devices and their event loop: one pty per port, read and written only when
// poll says so, answers held back by each port's answer delay. It prints every chunk it
// receives ("COM1 <- AT<0d>") and every answer it sends ("COM1 -> OK<0d><0a>") to the
// transcript, in escape notation. Single-threaded; it never blocks longer than asked.
class DeviceSimulator {
 public:
  // More answer bytes than this waiting for a port that nobody reads are dropped, not hoarded.
  static constexpr std::size_t kPendingLimit = 1 << 20;

  // Throws std::system_error when a pseudo-terminal cannot be made.
  DeviceSimulator(const std::vector<SimulatedPortOptions>& ports, const Clock& clock,
                  std::ostream& transcript);

  // Port number → the device path the program opens.
  std::map<int, std::string> DevicePaths() const;

  // Waits at most `longest_wait` (less when an answer falls due sooner) for bytes from the
  // program, then reads and answers them and sends every answer that is due.
  void ServiceOnce(std::chrono::milliseconds longest_wait);

 private:
  struct PendingAnswer {
    Tick due = 0;
    std::string bytes;
  };
  struct Device {
    SimulatedPortOptions options;
    std::string name;  // "COM1"
    PtyPair pty;
    std::unique_ptr<DeviceBehaviour> behaviour;
    std::deque<PendingAnswer> pending;
    std::size_t pending_bytes = 0;
  };

  int MillisecondsUntilNextDue(Tick now) const;
  void Receive(Device& device, Tick now);
  void SendDue(Device& device, Tick now);

  const Clock& clock_;
  std::ostream& transcript_;
  std::vector<Device> devices_;
};

}  // namespace tamarind::devsim
