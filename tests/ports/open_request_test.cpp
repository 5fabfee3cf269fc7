#include <gtest/gtest.h>

#include <string>

#include "ports/port_channel.h"

namespace tamarind {
namespace {

struct RequestCase {
  const char* name;
  std::string specification;
  std::string device;
  std::string definition;
};

// Nothing here opens a device: these only build the path and the definition text.
class OpenRequestTable : public ::testing::TestWithParam<RequestCase> {
 protected:
  OpenRequestTable() {
    context_.map = PortMap::Parse(
        "COM1=/dev/serial/by-id/usb-first\n"
        "COM2=/dev/ttyUSB1\n");
  }
  PortContext context_;
};

TEST_P(OpenRequestTable, BuildsDevicePathAndDefinitionText) {
  const OpenRequest request = MakeOpenRequest(context_, GetParam().specification);
  EXPECT_EQ(request.device, GetParam().device);
  EXPECT_EQ(request.definition, GetParam().definition);
}

INSTANTIATE_TEST_SUITE_P(
    Table, OpenRequestTable,
    ::testing::Values(RequestCase{"probe_settings", "COM1,38400,E,8", "/dev/serial/by-id/usb-first",
                                  "COM1:Baud=38400 Parity=E Data=8 Stop=1"},
                      RequestCase{"only_the_first_data_bit_character_counts", "COM12,9600,N,7,1",
                                  "/dev/ttyS11", "COM12:Baud=9600 Parity=N Data=7 Stop=1"},
                      RequestCase{"missing_data_bits", "COM2,9600,N", "/dev/ttyUSB1",
                                  "COM2:Baud=9600 Parity=N Data= Stop=1"},
                      RequestCase{"name_only", "COM2", "/dev/ttyUSB1",
                                  "COM2:Baud= Parity= Data= Stop=1"},
                      RequestCase{"control_byte_ends_the_text", "COM2,9600\r\n,N,8", "/dev/ttyUSB1",
                                  "COM2:Baud=9600 Parity= Data= Stop=1"},
                      RequestCase{"not_a_port_name_has_no_device", "LPT1,9600,N,8", "",
                                  "LPT1:Baud=9600 Parity=N Data=8 Stop=1"}),
    [](const ::testing::TestParamInfo<RequestCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tamarind
