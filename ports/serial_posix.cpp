// The serial backend for Linux: termios2, flock, poll.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <utility>

#include "ports/serial_backend.h"
#include "ports/serial_termios_posix.h"
#include "ports/write_wait.h"

namespace tamarind::serial_backend {
namespace {

// The rates the kernel knows by a speed constant; any other goes through BOTHER.
constexpr std::array<std::pair<std::uint32_t, unsigned>, 30> kStandardRates{{
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
}};

// The line discipline holds at most this many received bytes for a reader; more may be queued
// behind them and only move up once they are read.
constexpr int kLineDisciplineBytes = 4095;
// How long a read waits for the queued bytes behind a full line discipline to move up.
constexpr int kRefillWaitMs = 50;
// One read takes at most this much, so a device that never stops talking cannot hold the
// program here; what is left stays queued for the next read.
constexpr std::size_t kMostBytesPerRead = 16 * 1024 * 1024;

int Descriptor(PortHandle handle) {
  return static_cast<int>(handle.value);
}

// Standard rates by their constant, every other one as BOTHER with the rate itself.
void SetSpeed(termios2& settings, std::uint32_t rate) {
  settings.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));  // input speed follows output speed
  settings.c_cflag |= BOTHER;
  for (const auto& [standard_rate, constant] : kStandardRates) {
    if (standard_rate == rate) {
      settings.c_cflag = (settings.c_cflag & ~CBAUD) | constant;
      break;
    }
  }
  settings.c_ispeed = rate;
  settings.c_ospeed = rate;
}

bool ReadSettings(int fd, termios2& settings) {
  if (::ioctl(fd, TCGETS2, &settings) == 0) return true;
  // A kernel without termios2: the classic call, whose speed is always a constant.
  termios classic{};
  if (::ioctl(fd, TCGETS, &classic) != 0) return false;
  settings = termios2{};
  settings.c_iflag = classic.c_iflag;
  settings.c_oflag = classic.c_oflag;
  settings.c_cflag = classic.c_cflag;
  settings.c_lflag = classic.c_lflag;
  settings.c_line = classic.c_line;
  for (std::size_t i = 0; i < NCCS; ++i) settings.c_cc[i] = classic.c_cc[i];
  return true;
}

void WriteSettings(int fd, const termios2& settings) {
  if (::ioctl(fd, TCSETS2, &settings) == 0 || (errno != EINVAL && errno != ENOTTY)) return;
  // A kernel without termios2 cannot be given a rate that has no constant: the line keeps its
  // speed and takes the rest.
  termios classic{};
  if (::ioctl(fd, TCGETS, &classic) != 0) return;
  const tcflag_t speed_bits = CBAUD | (CBAUD << IBSHIFT);
  const tcflag_t kept_speed = (settings.c_cflag & CBAUD) == BOTHER
                                  ? (classic.c_cflag & speed_bits)
                                  : (settings.c_cflag & speed_bits);
  classic.c_iflag = settings.c_iflag;
  classic.c_oflag = settings.c_oflag;
  classic.c_cflag = (settings.c_cflag & ~speed_bits) | kept_speed;
  classic.c_lflag = settings.c_lflag;
  for (std::size_t i = 0; i < NCCS; ++i) classic.c_cc[i] = settings.c_cc[i];
  ::ioctl(fd, TCSETS, &classic);
}

Availability WhyOpenFailed(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENODEV:
    case ENXIO:
      return Availability::Absent;
    case EACCES:
    case EPERM:
    case EROFS:
      return Availability::PermissionDenied;
    case EBUSY:  // another program set TIOCEXCL
    case EWOULDBLOCK:
      return Availability::HeldByOther;
    default:
      return Availability::OpenFailed;
  }
}

bool SameDevice(const struct stat& device, const std::string& other_path) {
  struct stat other {};
  return ::stat(other_path.c_str(), &other) == 0 && S_ISCHR(other.st_mode) &&
         other.st_rdev == device.st_rdev;
}

}  // namespace

termios2 ToTermios(const DeviceControl& record, const termios2& current) {
  termios2 settings = current;
  settings.c_iflag &= ~(IGNBRK | BRKINT | IGNPAR | PARMRK | INPCK | ISTRIP | INLCR | IGNCR | ICRNL |
                        IUCLC | IXON | IXANY | IXOFF | IMAXBEL);
  settings.c_oflag &= ~OPOST;
  settings.c_lflag &= ~(ISIG | ICANON | ECHO | ECHOE | ECHOK | ECHONL | IEXTEN);
  settings.c_cflag &= ~(CRTSCTS | PARENB | PARODD | CMSPAR | CSTOPB);
  settings.c_cflag |= CLOCAL | CREAD;

  switch (record.parity) {
    case Parity::None:
      break;
    case Parity::Even:
      settings.c_cflag |= PARENB;
      break;
    case Parity::Odd:
      settings.c_cflag |= PARENB | PARODD;
      break;
    case Parity::Mark:
      settings.c_cflag |= PARENB | CMSPAR | PARODD;
      break;
    case Parity::Space:
      settings.c_cflag |= PARENB | CMSPAR;
      break;
  }
  constexpr std::array<tcflag_t, 4> kCharacterSizes{CS5, CS6, CS7, CS8};
  if (record.data_bits >= 5 && record.data_bits <= 8) {
    settings.c_cflag = (settings.c_cflag & ~CSIZE) |
                       kCharacterSizes[static_cast<std::size_t>(record.data_bits - 5)];
  }
  // Linux has no 1.5 stop bits; CSTOPB gives 1.5 with five data bits, as UARTs do.
  if (record.stop_bits != StopBits::One) settings.c_cflag |= CSTOPB;
  if (record.baud_rate != 0) SetSpeed(settings, record.baud_rate);

  settings.c_cc[VMIN] = 0;
  settings.c_cc[VTIME] = 0;
  return settings;
}

std::uint32_t BaudRateOf(const termios2& settings) {
  const tcflag_t constant = settings.c_cflag & CBAUD;
  if (constant == BOTHER) return settings.c_ospeed;
  for (const auto& [rate, standard_constant] : kStandardRates) {
    if (standard_constant == constant) return rate;
  }
  return 0;
}

int BitsPerCharacter(const termios2& settings) {
  int data_bits = 8;
  switch (settings.c_cflag & CSIZE) {
    case CS5:
      data_bits = 5;
      break;
    case CS6:
      data_bits = 6;
      break;
    case CS7:
      data_bits = 7;
      break;
    default:
      break;
  }
  const int parity_bits = (settings.c_cflag & PARENB) ? 1 : 0;
  const int stop_bits = (settings.c_cflag & CSTOPB) ? 2 : 1;
  return 1 + data_bits + parity_bits + stop_bits;
}

bool IsSystemConsole(const std::string& device, const std::string& active_consoles_file) {
  struct stat target {};
  if (::stat(device.c_str(), &target) != 0 || !S_ISCHR(target.st_mode)) return false;
  if (SameDevice(target, "/dev/console")) return true;

  std::error_code ignored;
  const std::filesystem::path canonical = std::filesystem::weakly_canonical(device, ignored);
  std::ifstream active(active_consoles_file);
  std::string name;
  while (active >> name) {
    const std::string console = "/dev/" + name;
    if (SameDevice(target, console) || canonical == console) return true;
  }
  return false;
}

OpenOutcome OpenDevice(const std::string& device) {
  if (IsSystemConsole(device)) return {kNoPort, Availability::SystemConsole};

  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return {kNoPort, WhyOpenFailed(errno)};
  // Root passes TIOCEXCL, so the lock is what keeps a second open (ours or another
  // program's) out.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    return {kNoPort, error == EWOULDBLOCK ? Availability::HeldByOther : WhyOpenFailed(error)};
  }
  ::ioctl(fd, TIOCEXCL);
  // Only a terminal device is a serial port; a file or pipe put in the map is not written to.
  termios2 settings{};
  if (!ReadSettings(fd, settings)) {
    ::close(fd);
    return {kNoPort, Availability::OpenFailed};
  }
  return {PortHandle{fd}, Availability::Available};
}

void ApplyDeviceControl(PortHandle handle, const DeviceControl& record) {
  const int fd = Descriptor(handle);
  termios2 current{};
  if (!ReadSettings(fd, current)) return;
  WriteSettings(fd, ToTermios(record, current));
}

void CloseDevice(PortHandle handle) {
  const int fd = Descriptor(handle);
  // A pseudo-terminal has no modem lines; these then fail, which is fine.
  int line = TIOCM_DTR;
  ::ioctl(fd, TIOCMBIC, &line);
  line = TIOCM_RTS;
  ::ioctl(fd, TIOCMBIC, &line);
  ::close(fd);
}

void WriteDevice(PortHandle handle, std::string_view bytes) {
  const int fd = Descriptor(handle);
  // The line's speed is only looked up once the port stops taking bytes: a step's usual short
  // line goes out in one write call.
  std::optional<std::chrono::steady_clock::time_point> deadline;

  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(written));
      continue;
    }
    if (written < 0 && errno == EINTR) continue;
    // A vanished device (EIO, ENXIO, ENODEV) or any other failure: give up at once.
    if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return;

    if (!deadline) {
      termios2 settings{};
      std::uint32_t rate = 0;
      int bits_per_character = 10;
      if (ReadSettings(fd, settings)) {
        rate = BaudRateOf(settings);
        bits_per_character = BitsPerCharacter(settings);
      }
      deadline =
          std::chrono::steady_clock::now() + WriteWaitLimit(bytes.size(), rate, bits_per_character);
    }
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(*deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return;
    pollfd ready{fd, POLLOUT, 0};
    const int polled = ::poll(&ready, 1, static_cast<int>(left.count()));
    if (polled < 0 && errno == EINTR) continue;
    if (polled <= 0 || (ready.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) return;
  }
}

std::size_t ReadDevice(PortHandle handle, std::string& buffer) {
  const int fd = Descriptor(handle);
  buffer.clear();
  // Read straight away rather than asking first how much is waiting: with VMIN = VTIME = 0 a read
  // takes what is there and an empty port gives 0 (or EAGAIN), so a quiet port costs one call.
  char chunk[64 * 1024];
  while (buffer.size() < kMostBytesPerRead) {
    const ssize_t count = ::read(fd, chunk, sizeof chunk);
    if (count < 0 && errno == EINTR) continue;
    // Nothing waiting, or a vanished device (EIO): what was read so far is the answer.
    if (count <= 0) break;
    buffer.append(chunk, static_cast<std::size_t>(count));
    if (count >= kLineDisciplineBytes) {
      // A pty never hands over more than 4095 bytes at once, and bytes held back behind a full
      // line discipline move up only a moment after it was read: give them that moment.
      pollfd ready{fd, POLLIN, 0};
      if (::poll(&ready, 1, kRefillWaitMs) <= 0 || (ready.revents & POLLIN) == 0) break;
      continue;
    }
    // A short read emptied the queue: anything arriving now belongs to the next step's read.
    break;
  }
  return buffer.size();
}

}  // namespace tamarind::serial_backend
