#include "ports/comm_definition.h"

#include <gtest/gtest.h>

#include <string>

namespace tamarind {
namespace {

// What the start-up probe leaves in the shared record: 38400 baud, even parity, 8 data bits.
constexpr DeviceControl kAfterProbe{38400, Parity::Even, 8, StopBits::One};

struct DefinitionCase {
  const char* name;
  std::string definition;
  bool accepted;
  DeviceControl after;  // the record after parsing, starting from kAfterProbe
};

class DefinitionTable : public ::testing::TestWithParam<DefinitionCase> {};

TEST_P(DefinitionTable, UpdatesTheSharedRecordUpToTheFirstInvalidValue) {
  DeviceControl record = kAfterProbe;
  EXPECT_EQ(ParseCommDefinition(GetParam().definition, record), GetParam().accepted);
  EXPECT_EQ(record, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, DefinitionTable,
    ::testing::Values(DefinitionCase{"probe_text", "COM1:Baud=38400 Parity=E Data=8 Stop=1", true,
                                     kAfterProbe},
                      DefinitionCase{"seven_bits_no_parity",
                                     "COM12:Baud=9600 Parity=N Data=7 Stop=1",
                                     true,
                                     {9600, Parity::None, 7, StopBits::One}},
                      DefinitionCase{"keys_and_letters_in_any_case",
                                     "COM4:bAUD=1200 parity=m DATA=5 stop=1.5",
                                     true,
                                     {1200, Parity::Mark, 5, StopBits::OneAndHalf}},
                      DefinitionCase{"space_parity_two_stop_bits",
                                     "COM5:Baud=115200 Parity=S Data=6 Stop=2",
                                     true,
                                     {115200, Parity::Space, 6, StopBits::Two}},
                      DefinitionCase{"odd_parity_rate_without_a_constant",
                                     "COM6:Baud=250000 Parity=O Data=8 Stop=1",
                                     true,
                                     {250000, Parity::Odd, 8, StopBits::One}}),
    [](const ::testing::TestParamInfo<DefinitionCase>& info) {
      return std::string(info.param.name);
    });

// Rejected texts: which fields took the new values and which kept the probe's.
INSTANTIATE_TEST_SUITE_P(
    Rejected, DefinitionTable,
    ::testing::Values(
        DefinitionCase{"empty_data_keeps_data_and_stop",
                       "COM2:Baud=9600 Parity=N Data= Stop=1",
                       false,
                       {9600, Parity::None, 8, StopBits::One}},
        DefinitionCase{"non_numeric_baud_keeps_everything", "COM2:Baud=abc Parity=N Data=7 Stop=1",
                       false, kAfterProbe},
        DefinitionCase{"unknown_parity_keeps_parity_and_later",
                       "COM2:Baud=9600 Parity=X Data=7 Stop=1",
                       false,
                       {9600, Parity::Even, 8, StopBits::One}},
        DefinitionCase{"empty_baud", "COM2:Baud= Parity=N Data=7 Stop=1", false, kAfterProbe},
        DefinitionCase{"zero_baud_would_hang_up", "COM2:Baud=0 Parity=N Data=7 Stop=1", false,
                       kAfterProbe},
        DefinitionCase{"baud_beyond_32_bits", "COM2:Baud=4294967296 Parity=N", false, kAfterProbe},
        DefinitionCase{"baud_with_trailing_letters", "COM2:Baud=9600x Parity=N", false,
                       kAfterProbe},
        DefinitionCase{"nine_data_bits",
                       "COM2:Baud=9600 Parity=O Data=9 Stop=1",
                       false,
                       {9600, Parity::Odd, 8, StopBits::One}},
        DefinitionCase{"four_data_bits",
                       "COM2:Baud=9600 Parity=O Data=4 Stop=1",
                       false,
                       {9600, Parity::Odd, 8, StopBits::One}},
        DefinitionCase{"three_stop_bits",
                       "COM2:Baud=9600 Parity=O Data=7 Stop=3",
                       false,
                       {9600, Parity::Odd, 7, StopBits::One}},
        DefinitionCase{"two_letter_parity",
                       "COM2:Baud=9600 Parity=EV",
                       false,
                       {9600, Parity::Even, 8, StopBits::One}},
        DefinitionCase{"unknown_key",
                       "COM2:Baud=9600 Flow=X Parity=N",
                       false,
                       {9600, Parity::Even, 8, StopBits::One}},
        DefinitionCase{"names_nothing", "COM2:", false, kAfterProbe}),
    [](const ::testing::TestParamInfo<DefinitionCase>& info) {
      return std::string(info.param.name);
    });

}  // namespace
}  // namespace tamarind
