#include <gtest/gtest.h>

#include <string>

#include "ports/serial_termios_posix.h"

namespace tamarind::serial_backend {
namespace {

// A "cooked" terminal, as a tty starts out: canonical input with echo and signals, CR/LF
// translation, output processing, software and hardware flow control, 9600 baud, seven data
// bits, even parity checked and stripped, two stop bits.
termios2 CookedTerminal() {
  termios2 cooked{};
  cooked.c_iflag = ICRNL | IXON | IXOFF | IXANY | INPCK | ISTRIP | PARMRK | BRKINT | IGNCR | INLCR;
  cooked.c_oflag = OPOST | ONLCR;
  cooked.c_lflag = ICANON | ECHO | ECHOE | ECHOK | ECHONL | ISIG | IEXTEN;
  cooked.c_cflag = B9600 | CS7 | PARENB | CSTOPB | CRTSCTS | HUPCL;
  cooked.c_ispeed = cooked.c_ospeed = 9600;
  cooked.c_cc[VMIN] = 1;
  cooked.c_cc[VTIME] = 5;
  return cooked;
}

TEST(TermiosTranslation, RawModeWhateverTheTerminalHadBefore) {
  const termios2 raw = ToTermios({38400, Parity::None, 8, StopBits::One}, CookedTerminal());
  EXPECT_EQ(raw.c_iflag, 0u) << "no translation, no flow control, no parity marking/stripping";
  EXPECT_EQ(raw.c_oflag & OPOST, 0u);
  EXPECT_EQ(raw.c_lflag & (ICANON | ECHO | ECHOE | ECHOK | ECHONL | ISIG | IEXTEN), 0u);
  EXPECT_EQ(raw.c_cflag & CRTSCTS, 0u);
  EXPECT_EQ(raw.c_cflag & (CLOCAL | CREAD), CLOCAL | CREAD);
  EXPECT_EQ(raw.c_cflag & HUPCL, HUPCL) << "settings nobody names are left alone";
  EXPECT_EQ(raw.c_cc[VMIN], 0);
  EXPECT_EQ(raw.c_cc[VTIME], 0);
}

struct FrameCase {
  const char* name;
  DeviceControl record;
  tcflag_t character_size;
  tcflag_t parity_flags;  // of PARENB, PARODD, CMSPAR
  bool two_stop_bits;
  int bits_per_character;
};

class FrameTable : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FrameTable, SetsDataBitsParityAndStopBits) {
  const FrameCase& row = GetParam();
  const termios2 settings = ToTermios(row.record, CookedTerminal());
  EXPECT_EQ(settings.c_cflag & CSIZE, row.character_size);
  EXPECT_EQ(settings.c_cflag & (PARENB | PARODD | CMSPAR), row.parity_flags);
  EXPECT_EQ((settings.c_cflag & CSTOPB) != 0, row.two_stop_bits);
  EXPECT_EQ(BitsPerCharacter(settings), row.bits_per_character);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FrameTable,
    ::testing::Values(
        FrameCase{"probe_8e1", {38400, Parity::Even, 8, StopBits::One}, CS8, PARENB, false, 11},
        FrameCase{"8n1", {9600, Parity::None, 8, StopBits::One}, CS8, 0, false, 10},
        FrameCase{"7o1", {9600, Parity::Odd, 7, StopBits::One}, CS7, PARENB | PARODD, false, 10},
        FrameCase{"6m1_mark_through_cmspar",
                  {9600, Parity::Mark, 6, StopBits::One},
                  CS6,
                  PARENB | PARODD | CMSPAR,
                  false,
                  9},
        FrameCase{"5s1_space_through_cmspar",
                  {9600, Parity::Space, 5, StopBits::One},
                  CS5,
                  PARENB | CMSPAR,
                  false,
                  8},
        FrameCase{
            "5n1_5_stop_bits", {9600, Parity::None, 5, StopBits::OneAndHalf}, CS5, 0, true, 8},
        FrameCase{"8n2", {9600, Parity::None, 8, StopBits::Two}, CS8, 0, true, 11},
        FrameCase{"data_bits_not_named_yet_keep_the_terminals",
                  {9600, Parity::None, 0, StopBits::One},
                  CS7,
                  0,
                  false,
                  9}),
    [](const ::testing::TestParamInfo<FrameCase>& info) { return std::string(info.param.name); });

struct SpeedCase {
  const char* name;
  std::uint32_t record_rate;
  tcflag_t speed_bits;  // what CBAUD holds
  std::uint32_t line_rate;
};

class SpeedTable : public ::testing::TestWithParam<SpeedCase> {};

TEST_P(SpeedTable, StandardRatesByConstantOthersByRate) {
  const SpeedCase& row = GetParam();
  const termios2 settings =
      ToTermios({row.record_rate, Parity::None, 8, StopBits::One}, CookedTerminal());
  EXPECT_EQ(settings.c_cflag & CBAUD, row.speed_bits);
  EXPECT_EQ((settings.c_cflag >> IBSHIFT) & CBAUD, 0u) << "input speed follows output speed";
  EXPECT_EQ(BaudRateOf(settings), row.line_rate);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SpeedTable,
    ::testing::Values(SpeedCase{"standard_38400", 38400, B38400, 38400},
                      SpeedCase{"standard_115200", 115200, B115200, 115200},
                      SpeedCase{"standard_300", 300, B300, 300},
                      SpeedCase{"other_rate_250000", 250000, BOTHER, 250000},
                      SpeedCase{"other_rate_31250", 31250, BOTHER, 31250},
                      SpeedCase{"rate_not_named_yet_keeps_9600", 0, B9600, 9600}),
    [](const ::testing::TestParamInfo<SpeedCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tamarind::serial_backend
