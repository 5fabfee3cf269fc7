#include "ports/port_channel.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "tests/support/pty_device.h"
#include "tests/support/scratch_dir.h"

namespace tamarind {
namespace {

using testing::PtyDevice;
using testing::ScratchDir;

// The bytes a terminal would most like to swallow: NUL, CR, LF, XON, XOFF and 0xFF.
const std::string kAwkwardBytes(
    "A\x00\x0d\x0a\x11\x13\xff"
    "Z",
    8);

// A port context whose COM3 is a fresh pty and every other port has no device.
class OpenPty : public ::testing::Test {
 protected:
  OpenPty() { context_.map = PortMap::Parse("COM3=" + device_.path() + "\n"); }

  ScratchDir scratch_;
  PtyDevice device_;
  PortContext context_;
};

TEST_F(OpenPty, ExactBytesGoOutUnchanged) {
  PortHandle port = OpenPort(context_, "COM3,38400,E,8");
  ASSERT_FALSE(port.IsNoPort());
  WritePort(port, kAwkwardBytes);
  EXPECT_EQ(device_.Read(kAwkwardBytes.size()), kAwkwardBytes);
  ClosePort(port);
}

TEST_F(OpenPty, ExactBytesComeInUnchanged) {
  PortHandle port = OpenPort(context_, "COM3,38400,E,8");
  ASSERT_FALSE(port.IsNoPort());
  device_.Write(kAwkwardBytes);
  device_.WaitUntilReadable();
  std::string answer;
  EXPECT_EQ(ReadPort(port, answer), kAwkwardBytes.size());
  EXPECT_EQ(answer, kAwkwardBytes);
  ClosePort(port);
}

TEST_F(OpenPty, ALargeAnswerIsReadWhole) {
  PortHandle port = OpenPort(context_, "COM3,38400,E,8");
  ASSERT_FALSE(port.IsNoPort());
  std::string large;
  for (int i = 0; i < 10000; ++i) large += static_cast<char>('a' + i % 26);
  device_.Write(large);
  device_.WaitUntilReadable();
  std::string answer;
  EXPECT_EQ(ReadPort(port, answer), large.size());
  EXPECT_EQ(answer, large);
  ClosePort(port);
}

}  // namespace
}  // namespace tamarind
