#include "tools/pty_pair.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace tamarind::devsim {

PtyPair::PtyPair() {
  char name[256] = {};
  termios raw{};
  ::cfmakeraw(&raw);
  ::cfsetspeed(&raw, B38400);
  if (::openpty(&master_, &slave_, name, &raw, nullptr) != 0) {
    throw std::system_error(errno, std::generic_category(), "openpty");
  }
  path_ = name;
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  ::fcntl(master_, F_SETFD, FD_CLOEXEC);
  ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
}

PtyPair::~PtyPair() {
  if (master_ >= 0) ::close(master_);
  if (slave_ >= 0) ::close(slave_);
}

PtyPair::PtyPair(PtyPair&& other) noexcept
    : master_(other.master_), slave_(other.slave_), path_(std::move(other.path_)) {
  other.master_ = -1;
  other.slave_ = -1;
}

std::string PtyPair::ReadAvailable() {
  std::string bytes;
  char chunk[4096];
  for (;;) {
    const ssize_t count = ::read(master_, chunk, sizeof chunk);
    if (count > 0) {
      bytes.append(chunk, static_cast<std::size_t>(count));
    } else if (count < 0 && errno == EINTR) {
      continue;
    } else {
      return bytes;  // EAGAIN: nothing more now
    }
  }
}

std::size_t PtyPair::WriteSome(std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(master_, bytes.data() + done, bytes.size() - done);
    if (written > 0) {
      done += static_cast<std::size_t>(written);
    } else if (written < 0 && errno == EINTR) {
      continue;
    } else {
      break;  // EAGAIN: the program's input queue is full; the rest waits for the next round
    }
  }
  return done;
}

}  // namespace tamarind::devsim
