#include "tools/device_simulator.h"

#include <poll.h>

#include <algorithm>
#include <cstdint>

#include "engine/escapes.h"

namespace tamarind::devsim {
namespace {

// Signed distance from `now` to `due` on the wrapping tick count; 0 or less means due.
std::int32_t TicksUntil(Tick due, Tick now) {
  return static_cast<std::int32_t>(due - now);
}

}  // namespace

DeviceSimulator::DeviceSimulator(const std::vector<SimulatedPortOptions>& ports, const Clock& clock,
                                 std::ostream& transcript)
    : clock_(clock), transcript_(transcript) {
  devices_.reserve(ports.size());
  for (const SimulatedPortOptions& options : ports) {
    devices_.push_back(Device{options,
                              "COM" + std::to_string(options.number),
                              PtyPair(),
                              MakeBehaviour(options.kind),
                              {},
                              0});
  }
}

std::map<int, std::string> DeviceSimulator::DevicePaths() const {
  std::map<int, std::string> paths;
  for (const Device& device : devices_) paths[device.options.number] = device.pty.path();
  return paths;
}

void DeviceSimulator::ServiceOnce(std::chrono::milliseconds longest_wait) {
  std::vector<pollfd> ready;
  ready.reserve(devices_.size());
  const Tick before = clock_.TickCount();
  for (const Device& device : devices_) {
    const bool has_due =
        !device.pending.empty() && TicksUntil(device.pending.front().due, before) <= 0;
    ready.push_back(
        pollfd{device.pty.master_fd(), static_cast<short>(POLLIN | (has_due ? POLLOUT : 0)), 0});
  }
  const int wait = static_cast<int>(
      std::clamp<std::int64_t>(longest_wait.count(), 0, MillisecondsUntilNextDue(before)));
  // EINTR (a stop signal) simply ends the wait early; the caller decides what comes next.
  ::poll(ready.data(), ready.size(), wait);

  const Tick now = clock_.TickCount();
  for (std::size_t i = 0; i < devices_.size(); ++i) {
    if (ready[i].revents & POLLIN) Receive(devices_[i], now);
    SendDue(devices_[i], now);
  }
}

int DeviceSimulator::MillisecondsUntilNextDue(Tick now) const {
  // An answer already due waits for POLLOUT, not for the clock: counting it here would turn a
  // full pty into a busy loop.
  std::int32_t soonest = INT32_MAX;
  for (const Device& device : devices_) {
    for (const PendingAnswer& answer : device.pending) {
      const std::int32_t until = TicksUntil(answer.due, now);
      if (until > 0) {
        soonest = std::min(soonest, until);
        break;
      }
    }
  }
  return soonest;
}

void DeviceSimulator::Receive(Device& device, Tick now) {
  const std::string received = device.pty.ReadAvailable();
  if (received.empty()) return;
  transcript_ << device.name << " <- " << EncodeEscapes(received) << '\n' << std::flush;
  std::string answer = device.behaviour->Answer(received);
  if (answer.empty()) return;
  if (device.pending_bytes + answer.size() > kPendingLimit) {
    transcript_ << device.name << " !! answer of " << answer.size()
                << " bytes dropped: nobody reads this port\n"
                << std::flush;
    return;
  }
  device.pending_bytes += answer.size();
  device.pending.push_back(PendingAnswer{now + device.options.answer_delay_ms, std::move(answer)});
}

void DeviceSimulator::SendDue(Device& device, Tick now) {
  while (!device.pending.empty() && TicksUntil(device.pending.front().due, now) <= 0) {
    PendingAnswer& answer = device.pending.front();
    const std::size_t written = device.pty.WriteSome(answer.bytes);
    if (written > 0) {
      transcript_ << device.name << " -> " << EncodeEscapes(answer.bytes.substr(0, written)) << '\n'
                  << std::flush;
    }
    device.pending_bytes -= written;
    if (written < answer.bytes.size()) {
      answer.bytes.erase(0, written);
      return;  // the pty is full; poll says when it takes more
    }
    device.pending.pop_front();
  }
}

}  // namespace tamarind::devsim
