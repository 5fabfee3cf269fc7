#include "tests/faults/mended_settings.h"

#include <gtest/gtest.h>

#include <string>

namespace tamarind::testing {

void ExpectMendedPortLines(const LineList& original, const LineList& saved) {
  ASSERT_EQ(saved.Count(), 32u);
  for (std::size_t k = 0; k < 30; ++k) {
    const std::string expected = k < original.Count() ? original.WholeLine(k) : "38400,E,8";
    EXPECT_EQ(saved.WholeLine(k), expected) << "port line " << k + 1;
  }
}

}  // namespace tamarind::testing
