#pragma once

#include <string>
#include <string_view>

namespace tamarind {

// The byte notation of job lines and records: "<", two lower-case hex digits, ">" stand for one
// byte ("<0d>" is 0x0D; "<0D>" and "<d>" are no escapes).

// Turns every complete escape in `text` into its byte; everything else is copied unchanged.
std::string DecodeEscapes(std::string_view text);

// Writes every control byte (below 0x20) and every byte from 0x80 up as an escape; the other
// bytes, 0x7F included, are copied unchanged.
std::string EncodeEscapes(std::string_view bytes);

}  // namespace tamarind
