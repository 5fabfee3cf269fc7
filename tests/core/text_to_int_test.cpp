#include "app/text_to_int.h"

#include <gtest/gtest.h>

namespace tamarind {
namespace {

struct ConversionCase {
  const char* text;
  std::int32_t value;
};

class TextToIntTable : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(TextToIntTable, ReadsLikeThePlainConversion) {
  EXPECT_EQ(TextToInt(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Table, TextToIntTable,
                         ::testing::Values(ConversionCase{" 42", 42}, ConversionCase{"-5", -5},
                                           ConversionCase{"+7", 7}, ConversionCase{"500ms", 500},
                                           ConversionCase{"abc", 0}, ConversionCase{"", 0},
                                           ConversionCase{"-", 0}, ConversionCase{"--5", 0},
                                           ConversionCase{"4294967297", 1},
                                           ConversionCase{"2147483648", -2147483647 - 1},
                                           ConversionCase{"1 2", 1}));

}  // namespace
}  // namespace tamarind
