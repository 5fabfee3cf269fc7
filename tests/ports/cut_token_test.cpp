#include <gtest/gtest.h>

#include <string>

#include "ports/port_channel.h"

namespace tamarind {
namespace {

struct CutCase {
  const char* name;
  std::string text_before;
  std::string token;
  std::string text_after;
};

class CutTokenTable : public ::testing::TestWithParam<CutCase> {};

TEST_P(CutTokenTable, CutsTheFirstTokenOffInPlace) {
  std::string token = "stale";
  std::string text = GetParam().text_before;
  CutToken(token, text, ',');
  EXPECT_EQ(token, GetParam().token);
  EXPECT_EQ(text, GetParam().text_after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CutTokenTable,
    ::testing::Values(CutCase{"last_token_empties_the_text", "ab", "ab", ""},
                      CutCase{"empty_text", "", "", ""},
                      CutCase{"leading_separator", ",x", "", "x"},
                      CutCase{"tab_ends_the_whole_text", "a\tb,c", "a", ""},
                      CutCase{"first_of_several", "COM1,38400,E,8", "COM1", "38400,E,8"},
                      CutCase{"nul_ends_the_whole_text", std::string("a\0,b", 4), "a", ""},
                      CutCase{"high_byte_ends_the_whole_text", "ab\xb1,c", "ab", ""},
                      CutCase{"control_byte_after_a_separator_stays_for_later", "a,b\x01,c", "a",
                              "b\x01,c"},
                      CutCase{"control_byte_first", "\r,x", "", ""},
                      CutCase{"blanks_are_kept", " a ,b", " a ", "b"}),
    [](const ::testing::TestParamInfo<CutCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tamarind
