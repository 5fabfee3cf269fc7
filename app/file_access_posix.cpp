#include "app/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tamarind {
namespace {

// Closes the descriptor when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }

 private:
  int fd_;
};

bool IsRegularFile(int fd) {
  struct stat status {};
  return ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
}

// Linux has no share modes. A read lease cannot be taken while any process holds the file open
// for writing, which is exactly "deny writers". Where leases are not permitted (another user's
// file, a file system without them) the check is skipped.
bool HeldOpenForWritingByOthers(int fd) {
  if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
    ::fcntl(fd, F_SETLEASE, F_UNLCK);
    return false;
  }
  return errno == EAGAIN;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

bool CanOpenForReading(const std::string& file_name) {
  const Descriptor file(::open(file_name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  return file.valid();
}

std::optional<std::string> ReadFileDenyingWriters(const std::string& file_name) {
  const Descriptor file(::open(file_name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!file.valid() || !IsRegularFile(file.get()) || HeldOpenForWritingByOthers(file.get())) {
    return std::nullopt;
  }
  std::string contents;
  struct stat status {};
  if (::fstat(file.get(), &status) == 0 && status.st_size > 0) {
    contents.reserve(static_cast<std::size_t>(status.st_size));
  }
  char chunk[64 * 1024];
  for (;;) {
    const ssize_t count = ::read(file.get(), chunk, sizeof chunk);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return std::nullopt;
    if (count == 0) break;
    contents.append(chunk, static_cast<std::size_t>(count));
  }
  return contents;
}

WriteOutcome ReplaceFile(const std::string& file_name, std::string_view bytes) {
  // O_NONBLOCK: a FIFO without a reader fails at once instead of hanging the window.
  const Descriptor file(
      ::open(file_name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666));
  if (!file.valid()) return WriteOutcome::CannotCreate;
  return WriteAll(file.get(), bytes) ? WriteOutcome::Written : WriteOutcome::ShortWrite;
}

bool AppendToFile(const std::string& file_name, std::string_view bytes) {
  const Descriptor file(
      ::open(file_name.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_CLOEXEC, 0666));
  if (!file.valid()) return false;
  // One write call: on an O_APPEND descriptor the kernel places it whole at the end.
  for (;;) {
    const ssize_t written = ::write(file.get(), bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    return written == static_cast<ssize_t>(bytes.size());
  }
}

}  // namespace tamarind
