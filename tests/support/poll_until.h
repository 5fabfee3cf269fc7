#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace tamarind::testing {

// Checks `done` every 20 ms until it holds or `timeout` has passed: for waiting on another
// process (the real program, a writer), which no fake clock can drive. True when it held.
inline bool PollUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

}  // namespace tamarind::testing
