#include "tests/support/pty_device.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace tamarind::testing {

PtyDevice::PtyDevice() {
  char name[256] = {};
  termios raw{};
  cfmakeraw(&raw);
  if (::openpty(&master_, &slave_, name, &raw, nullptr) != 0) {
    throw std::runtime_error("openpty failed");
  }
  path_ = name;
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  ::fcntl(master_, F_SETFD, FD_CLOEXEC);
  ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
}

PtyDevice::~PtyDevice() {
  if (master_ >= 0) ::close(master_);
  if (slave_ >= 0) ::close(slave_);
}

void PtyDevice::Write(const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(master_, bytes.data() + done, bytes.size() - done);
    if (written > 0) {
      done += static_cast<std::size_t>(written);
    } else if (written < 0 && (errno == EAGAIN || errno == EINTR)) {
      pollfd ready{master_, POLLOUT, 0};
      if (::poll(&ready, 1, 2000) <= 0) throw std::runtime_error("pty master not writable");
    } else {
      throw std::runtime_error("pty master write failed");
    }
  }
}

std::string PtyDevice::Read(std::size_t minimum, std::chrono::milliseconds timeout) {
  std::string bytes;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    bytes += Drain();
    if (bytes.size() >= minimum) return bytes;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return bytes;
    pollfd ready{master_, POLLIN, 0};
    ::poll(&ready, 1, static_cast<int>(left.count()));
  }
}

std::string PtyDevice::Drain() {
  std::string bytes;
  char chunk[4096];
  for (;;) {
    const ssize_t count = ::read(master_, chunk, sizeof chunk);
    if (count > 0) {
      bytes.append(chunk, static_cast<std::size_t>(count));
    } else if (count < 0 && errno == EINTR) {
      continue;
    } else {
      return bytes;
    }
  }
}

void PtyDevice::WaitUntilReadable(std::chrono::milliseconds timeout) {
  pollfd ready{slave_, POLLIN, 0};
  ::poll(&ready, 1, static_cast<int>(timeout.count()));
}

void PtyDevice::Vanish() {
  if (master_ >= 0) ::close(master_);
  master_ = -1;
}

}  // namespace tamarind::testing
