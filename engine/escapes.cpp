#include "engine/escapes.h"

namespace tamarind {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

// Lower-case only: "A"…"F" are not digits in this notation.
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string DecodeEscapes(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    if (text[at] == '<' && at + 3 < text.size() && text[at + 3] == '>') {
      const int high = HexValue(text[at + 1]);
      const int low = HexValue(text[at + 2]);
      if (high >= 0 && low >= 0) {
        bytes.push_back(static_cast<char>(high * 16 + low));
        at += 4;
        continue;
      }
    }
    bytes.push_back(text[at]);
    ++at;
  }
  return bytes;
}

std::string EncodeEscapes(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x80) {
      text += '<';
      text += kHexDigits[byte >> 4];
      text += kHexDigits[byte & 0x0f];
      text += '>';
    } else {
      text += c;
    }
  }
  return text;
}

}  // namespace tamarind
