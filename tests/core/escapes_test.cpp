#include "engine/escapes.h"

#include <gtest/gtest.h>

#include <string>

namespace tamarind {
namespace {

struct EscapeCase {
  const char* name;
  std::string text;
  std::string bytes;
};

class Decode : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(Decode, TurnsCompleteLowerCaseEscapesIntoBytes) {
  EXPECT_EQ(DecodeEscapes(GetParam().text), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Decode,
    ::testing::Values(EscapeCase{"cr_lf", "AT<0d><0a>", "AT\r\n"},
                      EscapeCase{"upper_case_hex_is_no_escape", "<0D>", "<0D>"},
                      EscapeCase{"lt_before_an_escape", "<<41>", "<A"},
                      EscapeCase{"three_characters", "<41", "<41"},
                      EscapeCase{"two_characters", "<4", "<4"},
                      EscapeCase{"one_digit", "<d>", "<d>"},
                      EscapeCase{"nul", "<00>", std::string(1, '\0')},
                      EscapeCase{"high_byte", "<ff>x",
                                 "\xff"
                                 "x"},
                      EscapeCase{"empty", "", ""}),
    [](const ::testing::TestParamInfo<EscapeCase>& info) { return std::string(info.param.name); });

class Encode : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(Encode, EscapesControlAndHighBytesOnly) {
  EXPECT_EQ(EncodeEscapes(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Encode,
    ::testing::Values(EscapeCase{"ok_cr_lf", "OK<0d><0a>", "OK\r\n"},
                      EscapeCase{"high_byte", "<b1>", "\xb1"},
                      EscapeCase{"del_is_copied", "\x7f", "\x7f"},
                      EscapeCase{"punctuation_is_copied", "<,>", "<,>"},
                      EscapeCase{"nul_and_ff", "<00><ff>", std::string("\0\xff", 2)},
                      EscapeCase{"shift_jis_character", "<82><a0>", "\x82\xa0"}),
    [](const ::testing::TestParamInfo<EscapeCase>& info) { return std::string(info.param.name); });

TEST(Escapes, DecodingAnEncodedAnswerGivesTheBytesBack) {
  std::string every_byte_but_lt;
  for (int b = 0; b < 256; ++b) {
    if (b != '<') every_byte_but_lt += static_cast<char>(b);
  }
  EXPECT_EQ(DecodeEscapes(EncodeEscapes(every_byte_but_lt)), every_byte_but_lt);
}

}  // namespace
}  // namespace tamarind
