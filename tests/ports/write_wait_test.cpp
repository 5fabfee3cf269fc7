#include "ports/write_wait.h"

#include <gtest/gtest.h>

#include <string>

namespace tamarind {
namespace {

struct WaitCase {
  const char* name;
  std::size_t byte_count;
  std::uint32_t baud_rate;
  int bits_per_character;
  long long limit_ms;
};

class WriteWaitTable : public ::testing::TestWithParam<WaitCase> {};

TEST_P(WriteWaitTable, TwiceTheWireTimePlusAMargin) {
  const WaitCase& row = GetParam();
  EXPECT_EQ(WriteWaitLimit(row.byte_count, row.baud_rate, row.bits_per_character).count(),
            row.limit_ms);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WriteWaitTable,
    ::testing::Values(
        WaitCase{"longest_line_at_38400_8e1", 4096, 38400, 11, 2548},
        WaitCase{"longest_line_at_9600_8n1", 4096, 9600, 10, 8734},
        WaitCase{"unknown_rate_counts_as_9600", 4096, 0, 10, 8734},
        WaitCase{"one_byte_at_a_high_rate_still_gets_a_millisecond", 1, 4000000, 10, 202},
        WaitCase{"nothing_to_write", 0, 38400, 10, 200},
        WaitCase{"gigabyte_at_300_does_not_overflow", 1ull << 30, 300, 12, 85899345920LL + 200}),
    [](const ::testing::TestParamInfo<WaitCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tamarind
