#include "bench/cycle/device_bank.h"

#include <poll.h>

namespace tamarind::bench {

DeviceBank::DeviceBank(int count) : ports_(static_cast<std::size_t>(count)) {
  for (int i = 0; i < count; ++i) devices_.push_back(std::make_unique<testing::PtyDevice>());
}

void DeviceBank::ForgetArrivals() {
  for (PortState& port : ports_) port.arrivals.clear();
}

void DeviceBank::ServeOnce(std::chrono::milliseconds timeout) {
  std::vector<pollfd> ready;
  for (const auto& device : devices_) ready.push_back({device->master_fd(), POLLIN, 0});
  if (::poll(ready.data(), ready.size(), static_cast<int>(timeout.count())) <= 0) return;
  const Clock::time_point now = Clock::now();
  for (std::size_t i = 0; i < ready.size(); ++i) {
    if ((ready[i].revents & POLLIN) == 0) continue;
    PortState& port = ports_[i];
    for (const char byte : devices_[i]->Drain()) {
      if (!port.inside_line) {
        port.arrivals.push_back(now);
        port.inside_line = true;
      }
      if (byte == '\r') {
        port.inside_line = false;
        devices_[i]->Write("OK\r\n");
      }
    }
  }
}

}  // namespace tamarind::bench
