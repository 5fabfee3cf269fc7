#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/pty_device.h"

namespace tamarind::bench {

using Clock = std::chrono::steady_clock;

// Thirty serial devices played by pseudo-terminals, seen from the device side: each notes when
// every line of the job starts to arrive and answers it like a modem ("OK" and CR LF). Lines are
// told apart by the pause between them (steps are at least 200 ms apart), not by their bytes, so
// a line cut short by the program still counts once.
class DeviceBank {
 public:
  explicit DeviceBank(int count);

  // The pty path of port `number` (1 …), for the port map.
  std::string Path(int number) const { return devices_[number - 1]->path(); }
  int Count() const { return static_cast<int>(devices_.size()); }

  // Serves every device until `done()` says so (asked at least every 5 ms) or `until` comes.
  template <typename Done>
  void Serve(Clock::time_point until, Done done) {
    while (Clock::now() < until && !done()) ServeOnce(std::chrono::milliseconds(5));
  }

  // When each line started to arrive at port `number`, in order.
  const std::vector<Clock::time_point>& Arrivals(int number) const {
    return ports_[number - 1].arrivals;
  }
  void ForgetArrivals();

 private:
  struct PortState {
    Clock::time_point last_byte;
    std::vector<Clock::time_point> arrivals;
  };
  void ServeOnce(std::chrono::milliseconds timeout);

  std::vector<std::unique_ptr<testing::PtyDevice>> devices_;
  std::vector<PortState> ports_;
};

}  // namespace tamarind::bench
