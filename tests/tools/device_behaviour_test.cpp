#include "tools/device_behaviour.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tamarind::devsim {
namespace {

// What a fresh modem sends back for each chunk, in order; one row a conversation.
struct ModemCase {
  const char* name;
  std::vector<std::string> received;
  std::vector<std::string> answers;
};

class Modem : public ::testing::TestWithParam<ModemCase> {};

TEST_P(Modem, AnswersEachChunk) {
  HayesModem modem;
  const ModemCase& row = GetParam();
  ASSERT_EQ(row.received.size(), row.answers.size());
  for (std::size_t i = 0; i < row.received.size(); ++i) {
    EXPECT_EQ(modem.Answer(row.received[i]), row.answers[i]) << "chunk " << i;
  }
}

const std::string kIdentified = std::string("\r\n") + HayesModem::kIdentification + "\r\n";

INSTANTIATE_TEST_SUITE_P(
    Table, Modem,
    ::testing::Values(
        ModemCase{"at_is_echoed_then_ok", {"AT\r"}, {"AT\r\r\nOK\r\n"}},
        ModemCase{"lower_case_at", {"atz\r"}, {"atz\r\r\nOK\r\n"}},
        ModemCase{"other_text_is_error", {"HELLO\r"}, {"HELLO\r\r\nERROR\r\n"}},
        ModemCase{"a_alone_is_error", {"A\r"}, {"A\r\r\nERROR\r\n"}},
        ModemCase{"empty_line_gets_no_answer", {"\r"}, {"\r"}},
        ModemCase{"lf_after_cr_is_echoed_but_starts_nothing", {"AT\r\n"}, {"AT\r\r\nOK\r\n\n"}},
        ModemCase{"line_split_over_chunks", {"A", "T", "\r"}, {"A", "T", "\r\r\nOK\r\n"}},
        ModemCase{"ate0_turns_echo_off_after_its_own_line",
                  {"ATE0\r", "AT\r", "XYZ\r"},
                  {"ATE0\r\r\nOK\r\n", "\r\nOK\r\n", "\r\nERROR\r\n"}},
        ModemCase{"e_without_digit_is_e0", {"ATE\r", "AT\r"}, {"ATE\r\r\nOK\r\n", "\r\nOK\r\n"}},
        ModemCase{"ate1_turns_echo_on_again",
                  {"ATE0\r", "ATE1\r", "AT\r"},
                  {"ATE0\r\r\nOK\r\n", "\r\nOK\r\n", "AT\r\r\nOK\r\n"}},
        ModemCase{"atz_restores_echo",
                  {"ATE0\r", "ATZ\r", "AT\r"},
                  {"ATE0\r\r\nOK\r\n", "\r\nOK\r\n", "AT\r\r\nOK\r\n"}},
        ModemCase{"ate2_is_error_and_keeps_echo",
                  {"ATE2\r", "AT\r"},
                  {"ATE2\r\r\nERROR\r\n", "AT\r\r\nOK\r\n"}},
        ModemCase{"ati_identifies_before_ok", {"ATI\r"}, {"ATI\r" + kIdentified + "\r\nOK\r\n"}},
        ModemCase{"commands_run_together", {"ATE0I\r"}, {"ATE0I\r" + kIdentified + "\r\nOK\r\n"}},
        ModemCase{"extended_command_is_accepted", {"AT+CGMI=E2\r"}, {"AT+CGMI=E2\r\r\nOK\r\n"}},
        ModemCase{"binary_bytes_are_echoed_and_refused",
                  {std::string("\x00\xff\r", 3)},
                  {std::string("\x00\xff\r", 3) + "\r\nERROR\r\n"}},
        ModemCase{"two_lines_in_one_chunk",
                  {"AT\rATI\r"},
                  {"AT\r\r\nOK\r\nATI\r" + kIdentified + "\r\nOK\r\n"}}),
    [](const ::testing::TestParamInfo<ModemCase>& info) { return std::string(info.param.name); });

TEST(Modem, OverlongLineIsRefusedAndTheNextLineWorks) {
  HayesModem modem;
  modem.Answer("ATE0\r");
  EXPECT_EQ(modem.Answer("AT" + std::string(HayesModem::kCommandLineLimit, 'Z') + "\r"),
            "\r\nERROR\r\n");
  EXPECT_EQ(modem.Answer("AT\r"), "\r\nOK\r\n");
}

TEST(ByteEcho, SendsEveryByteBackUnchanged) {
  ByteEcho echo;
  const std::string all_bytes = [] {
    std::string bytes;
    for (int value = 0; value < 256; ++value) bytes += static_cast<char>(value);
    return bytes;
  }();
  EXPECT_EQ(echo.Answer(all_bytes), all_bytes);
  EXPECT_EQ(echo.Answer(""), "");
}

}  // namespace
}  // namespace tamarind::devsim
