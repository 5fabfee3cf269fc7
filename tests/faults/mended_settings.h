#pragma once

#include "app/line_list.h"

namespace tamarind::testing {

// Checks a settings file saved over a damaged one: 32 lines, whose first thirty are the damaged
// file's own lines where it had them and "38400,E,8" where it did not.
void ExpectMendedPortLines(const LineList& original, const LineList& saved);

}  // namespace tamarind::testing
