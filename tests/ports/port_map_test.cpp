#include "ports/port_map.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/scratch_dir.h"

namespace tamarind {
namespace {

using testing::ScratchDir;
using testing::WriteFile;

TEST(PortMap, UnlistedPortsMapToTheirSerialDevice) {
  const PortMap map = PortMap::Parse("");
  EXPECT_EQ(map.DevicePath("COM1"), "/dev/ttyS0");
  EXPECT_EQ(map.DevicePath("COM30"), "/dev/ttyS29");
  EXPECT_TRUE(map.Problems().empty());
}

TEST(PortMap, NamesThatAreNoPortHaveNoDevice) {
  const PortMap map = PortMap::Parse("");
  for (const char* name : {"COM0", "COM31", "COM", "COM01", "LPT1", "COM3x", ""}) {
    EXPECT_EQ(map.DevicePath(name), "") << name;
  }
}

TEST(PortMap, ListedPortsWithCommentsBlanksAndAnyLineEnd) {
  const PortMap map = PortMap::Parse(
      "# bench rack\r\n"
      "COM1=/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0\r\n"
      "  COM2 =  /dev/ttyUSB1   # the modem\n"
      "com3=/dev/ttyACM0\r"
      "COM4=\n"
      "COM5 = \t\n"
      "\n");
  EXPECT_EQ(map.DevicePath("COM1"),
            "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
  EXPECT_EQ(map.DevicePath("COM2"), "/dev/ttyUSB1");
  EXPECT_EQ(map.DevicePath("COM3"), "/dev/ttyACM0");
  EXPECT_EQ(map.DevicePath("COM4"), "") << "COMn= alone means no device";
  EXPECT_EQ(map.DevicePath("COM5"), "");
  EXPECT_EQ(map.DevicePath("COM6"), "/dev/ttyS5");
  EXPECT_TRUE(map.Problems().empty());
}

TEST(PortMap, BadLinesAreIgnoredAndReportedWithTheirLineNumbers) {
  const PortMap map = PortMap::Parse(
      "COM1=/dev/ttyUSB0\n"
      "/dev/ttyUSB1\n"
      "COM31=/dev/ttyUSB2\n"
      "COM0=/dev/ttyUSB3\n"
      "PORT2=/dev/ttyUSB4\n"
      "COM1=/dev/ttyUSB5\n"
      "COM2=/dev/ttyUSB6\n");
  EXPECT_EQ(map.DevicePath("COM1"), "/dev/ttyUSB0") << "the first line for a port counts";
  EXPECT_EQ(map.DevicePath("COM2"), "/dev/ttyUSB6") << "lines after a bad one still count";

  const auto& problems = map.Problems();
  ASSERT_EQ(problems.size(), 5u);
  EXPECT_EQ(problems[0].line_number, 2);
  EXPECT_EQ(problems[0].line, "/dev/ttyUSB1");
  EXPECT_EQ(problems[0].reason, "not of the form COMn=path");
  EXPECT_EQ(problems[1].line_number, 3);
  EXPECT_EQ(problems[1].reason, "no such port (ports are COM1 … COM30)");
  EXPECT_EQ(problems[2].line_number, 4);
  EXPECT_EQ(problems[2].reason, "no such port (ports are COM1 … COM30)");
  EXPECT_EQ(problems[3].line_number, 5);
  EXPECT_EQ(problems[3].reason, "not a port name COM1 … COM30");
  EXPECT_EQ(problems[4].line_number, 6);
  EXPECT_EQ(problems[4].reason, "port listed again; the first line counts");
  EXPECT_EQ(map.DevicePath("COM31"), "");
}

TEST(PortMap, ReadsTheFileInTheWorkingDirectory) {
  ScratchDir scratch;
  WriteFile("Tamarindports.txt", "COM7=/dev/ttyUSB9\nnonsense\n");
  const PortMap map = PortMap::Read();
  EXPECT_EQ(map.DevicePath("COM7"), "/dev/ttyUSB9");
  ASSERT_EQ(map.Problems().size(), 1u);
  EXPECT_EQ(map.Problems()[0].line_number, 2);
}

TEST(PortMap, NoFileMeansDefaultsAndNoProblems) {
  ScratchDir scratch;
  const PortMap map = PortMap::Read();
  EXPECT_EQ(map.DevicePath("COM7"), "/dev/ttyS6");
  EXPECT_TRUE(map.Problems().empty());
}

TEST(PortMap, AnUnreadableFileIsReportedNotSilentlyIgnored) {
  ScratchDir scratch;
  std::filesystem::create_directory("Tamarindports.txt");
  const PortMap map = PortMap::Read();
  ASSERT_EQ(map.Problems().size(), 1u);
  EXPECT_EQ(map.Problems()[0].line_number, 0);
}

}  // namespace
}  // namespace tamarind
