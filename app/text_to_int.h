#pragma once

#include <cstdint>
#include <string_view>

namespace tamarind {

// The plain text-to-integer reading used for the interval and repeat-count fields: leading
// blanks and one sign are accepted, reading stops at the first non-digit, no digits gives 0,
// and overflow wraps at 32 bits (" 42" → 42, "500ms" → 500, "abc" → 0, "4294967297" → 1).
std::int32_t TextToInt(std::string_view text);

}  // namespace tamarind
