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
    if (devices_[i]->Drain().empty()) continue;
    // A pause of more than 50 ms: the first bytes of the next line.
    if (port.arrivals.empty() || now - port.last_byte > std::chrono::milliseconds(50)) {
      port.arrivals.push_back(now);
      devices_[i]->Write("OK\r\n");
    }
    port.last_byte = now;
  }
}

}  // namespace tamarind::bench
