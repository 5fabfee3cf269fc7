#include "tools/simulator_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tamarind::devsim {
namespace {

struct GoodCase {
  const char* name;
  std::vector<std::string> arguments;
  std::vector<SimulatedPortOptions> ports;
  std::string map_file;
};

class GoodArguments : public ::testing::TestWithParam<GoodCase> {};

TEST_P(GoodArguments, GiveThesePorts) {
  const ParsedOptions parsed = ParseOptions(GetParam().arguments);
  EXPECT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.options.ports, GetParam().ports);
  EXPECT_EQ(parsed.options.map_file, GetParam().map_file);
}

using enum BehaviourKind;

INSTANTIATE_TEST_SUITE_P(
    Table, GoodArguments,
    ::testing::Values(GoodCase{"modem_is_the_default", {"COM1"}, {{1, Modem, 0}}, ""},
                      GoodCase{"echo", {"COM30:echo"}, {{30, Echo, 0}}, ""},
                      GoodCase{"delay", {"COM3:modem:250"}, {{3, Modem, 250}}, ""},
                      GoodCase{"longest_delay", {"COM3:echo:60000"}, {{3, Echo, 60000}}, ""},
                      GoodCase{"map_file_and_order_kept",
                               {"COM4", "--map", "Tamarindports.txt", "COM2:echo"},
                               {{4, Modem, 0}, {2, Echo, 0}},
                               "Tamarindports.txt"}),
    [](const ::testing::TestParamInfo<GoodCase>& info) { return std::string(info.param.name); });

struct BadCase {
  const char* name;
  std::vector<std::string> arguments;
  std::string error;
};

class BadArguments : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadArguments, AreRefusedWithTheReason) {
  EXPECT_EQ(ParseOptions(GetParam().arguments).error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadArguments,
    ::testing::Values(
        BadCase{"no_port", {}, "name at least one port, e.g. COM1"},
        BadCase{"com0", {"COM0"}, "COM0: not a port name COM1 … COM30"},
        BadCase{"com31", {"COM31"}, "COM31: not a port name COM1 … COM30"},
        BadCase{"leading_zero", {"COM01"}, "COM01: not a port name COM1 … COM30"},
        BadCase{"lower_case", {"com1"}, "com1: not a port name COM1 … COM30"},
        BadCase{"device_path", {"/dev/ttyS0"}, "/dev/ttyS0: not a port name COM1 … COM30"},
        BadCase{
            "unknown_kind", {"COM1:fax"}, "COM1:fax: unknown device kind 'fax' (modem or echo)"},
        BadCase{
            "negative_delay", {"COM1:echo:-5"}, "COM1:echo:-5: answer delay must be 0 … 60000 ms"},
        BadCase{"delay_too_long",
                {"COM1:echo:60001"},
                "COM1:echo:60001: answer delay must be 0 … 60000 ms"},
        BadCase{"delay_with_unit",
                {"COM1:echo:5ms"},
                "COM1:echo:5ms: answer delay must be 0 … 60000 ms"},
        BadCase{"too_many_fields", {"COM1:echo:5:x"}, "COM1:echo:5:x: too many ':' fields"},
        BadCase{"same_port_twice", {"COM2", "COM2:echo"}, "COM2:echo: COM2 is named twice"},
        BadCase{"map_without_file", {"COM1", "--map"}, "--map needs a file name"},
        BadCase{"unknown_option", {"--ports", "4"}, "unknown option --ports"}),
    [](const ::testing::TestParamInfo<BadCase>& info) { return std::string(info.param.name); });

TEST(Options, HelpWinsOverEverythingElse) {
  const ParsedOptions parsed = ParseOptions({"COM99", "--help"});
  EXPECT_TRUE(parsed.options.help);
}

}  // namespace
}  // namespace tamarind::devsim
