#include "ports/availability_probe.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ports/serial_backend.h"
#include "tests/support/pty_device.h"
#include "tests/support/scratch_dir.h"

namespace tamarind {
namespace {

using testing::PtyDevice;
using testing::ScratchDir;

std::array<PortSlot, 30> ThirtySlots() {
  std::array<PortSlot, 30> slots;
  for (int number = 1; number <= 30; ++number) {
    slots[static_cast<std::size_t>(number - 1)].number = number;
    slots[static_cast<std::size_t>(number - 1)].name = "COM" + std::to_string(number);
  }
  return slots;
}

// Holds a device the way another program would: its own open file description, locked.
class OtherProgramsHold {
 public:
  explicit OtherProgramsHold(const std::string& path)
      : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
    locked_ = fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
  }
  ~OtherProgramsHold() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool locked() const { return locked_; }

 private:
  int fd_;
  bool locked_ = false;
};

bool CanBeLocked(const std::string& path) {
  return OtherProgramsHold(path).locked();
}

TEST(AvailabilityProbe, SetsEachSlotsAvailabilityAndDevice) {
  ScratchDir scratch;
  PtyDevice free_device;
  PtyDevice held_device;
  const std::string missing = (scratch.path() / "unplugged").string();
  testing::WritePortMap({{3, free_device.path()}, {4, held_device.path()}, {5, missing}});
  const OtherProgramsHold other(held_device.path());
  ASSERT_TRUE(other.locked());

  PortContext context;
  context.map = PortMap::Read();
  auto slots = ThirtySlots();
  ProbeAllPorts(context, slots);

  EXPECT_EQ(slots[2].availability, Availability::Available);
  EXPECT_EQ(slots[2].device, free_device.path());
  EXPECT_EQ(slots[3].availability, Availability::HeldByOther);
  EXPECT_EQ(slots[4].availability, Availability::Absent);
  EXPECT_EQ(slots[4].device, missing);
  for (const int unused : {1, 2, 6, 17, 30}) {
    EXPECT_EQ(slots[static_cast<std::size_t>(unused - 1)].availability, Availability::NoDevice)
        << "COM" << unused;
  }
  for (const PortSlot& slot : slots) EXPECT_TRUE(slot.handle.IsNoPort()) << slot.name;
}

TEST(AvailabilityProbe, UsesTheFixedSettingsNotTheSlotsAndClosesAgain) {
  ScratchDir scratch;
  PtyDevice device;
  testing::WritePortMap({{7, device.path()}});
  PortContext context;
  context.map = PortMap::Read();
  auto slots = ThirtySlots();
  slots[6].settings = "1200,N,7";

  ProbePort(context, slots[6]);

  EXPECT_EQ(slots[6].availability, Availability::Available);
  EXPECT_EQ(context.device_control, (DeviceControl{38400, Parity::Even, 8, StopBits::One}));
  EXPECT_TRUE(CanBeLocked(device.path())) << "the probe closed the port again";
}

TEST(SystemConsole, ADeviceNamedAsAnActiveConsoleIsOne) {
  ScratchDir scratch;
  PtyDevice device;
  const std::string pts_name = device.path().substr(std::string("/dev/").size());
  testing::WriteFile("active", "tty0 " + pts_name + "\n");
  testing::WriteFile("inactive", "tty0\n");
  std::filesystem::create_symlink(device.path(), "by-id-link");

  EXPECT_TRUE(serial_backend::IsSystemConsole(device.path(), "active"));
  EXPECT_TRUE(serial_backend::IsSystemConsole("by-id-link", "active")) << "through a link";
  EXPECT_FALSE(serial_backend::IsSystemConsole(device.path(), "inactive"));
  EXPECT_FALSE(serial_backend::IsSystemConsole(device.path(), "no-such-file"));
}

TEST(SystemConsole, TheConsoleDeviceItselfIsOne) {
  // Decided from the device number alone; nothing is opened.
  EXPECT_TRUE(serial_backend::IsSystemConsole("/dev/console", "no-such-file"));
}

}  // namespace
}  // namespace tamarind
