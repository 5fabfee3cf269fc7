#include "app/window_texts.h"

#include <gtest/gtest.h>

#include "ports/port_map.h"

namespace tamarind {
namespace {

struct TextCase {
  const char* name;
  std::string bytes;
  std::string shown;
};

class DisplayTextTable : public ::testing::TestWithParam<TextCase> {};

TEST_P(DisplayTextTable, DecodesUtf8WhereValidElseLatin1) {
  EXPECT_EQ(DisplayText(GetParam().bytes), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DisplayTextTable,
    ::testing::Values(TextCase{"ascii_unchanged", "COM3,ATZ<0d>", "COM3,ATZ<0d>"},
                      TextCase{"utf8_japanese_unchanged", "送信データ", "送信データ"},
                      TextCase{"latin1_byte", "caf\xE9", "café"},
                      TextCase{"high_bytes_each_their_own_character", "\xFF\x80", "ÿ\u0080"},
                      TextCase{"valid_and_invalid_mixed", "\xE9t\xC3\xA9", "été"},
                      TextCase{"overlong_form_is_not_utf8", "\xC0\x80", "À\u0080"},
                      TextCase{"surrogate_is_not_utf8", "\xED\xA0\x80", "í\u00A0\u0080"},
                      TextCase{"sequence_cut_short_at_the_end", "ok\xE3\x81", "okã\u0081"},
                      TextCase{"four_byte_sequence", "\xF0\x9F\x8C\xB1", "\U0001F331"},
                      TextCase{"above_the_last_code_point", "\xF4\x90\x80\x80",
                               "ô\u0090\u0080\u0080"}),
    [](const ::testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

class ErrorBoxTextTable : public ::testing::TestWithParam<TextCase> {};

TEST_P(ErrorBoxTextTable, AddsAPeriodAfterACharacterThatSortsAboveIt) {
  EXPECT_EQ(ErrorBoxText(GetParam().bytes), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ErrorBoxTextTable,
    ::testing::Values(TextCase{"japanese_message", "ファイル TxData.txt は開けません",
                               "ファイル TxData.txt は開けません."},
                      TextCase{"letter", "write error", "write error."},
                      TextCase{"period_already", "done.", "done."},
                      TextCase{"character_below_the_period", "really!", "really!"},
                      TextCase{"slash_sorts_above", "a/", "a/."},
                      TextCase{"empty_stays_empty", "", ""}),
    [](const ::testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

TEST(PortToolTip, SaysWhereThePortLeadsAndWhyItIsUnavailable) {
  PortSlot slot;
  slot.name = "COM3";
  slot.device = "/dev/ttyUSB0";
  slot.availability = Availability::HeldByOther;
  EXPECT_EQ(PortToolTip(slot), "COM3 → /dev/ttyUSB0: held by another program");
  slot.device.clear();
  slot.availability = Availability::NoDevice;
  EXPECT_EQ(PortToolTip(slot), "COM3: no device in the port map");
}

TEST(ProblemSummary, ListsIgnoredPortMapLinesAndTheLogProblem) {
  Model model;
  EXPECT_EQ(ProblemSummary(model), "");
  model.ports.map = PortMap::Parse("COM1=/dev/pts/3\nCOM99=/dev/x\n");
  model.log_problem = "RxDataLog.txt: Is a directory";
  const std::string summary = ProblemSummary(model);
  EXPECT_NE(summary.find("Tamarindports.txt line 2"), std::string::npos) << summary;
  EXPECT_NE(summary.find("COM99=/dev/x"), std::string::npos) << summary;
  EXPECT_NE(summary.find("\nRxDataLog.txt: Is a directory"), std::string::npos) << summary;
}

}  // namespace
}  // namespace tamarind
