// Escape decoding and encoding on arbitrary bytes: decoding what was encoded gives the bytes back
// whenever they hold no '<' (only a '<' can start text of the escape form), an encoded text is
// printable, and decoding never grows a text.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/escapes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const std::string encoded = tamarind::EncodeEscapes(bytes);
  if (encoded.size() < size || encoded.size() > 4 * size) std::abort();
  for (const char c : encoded) {
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x80) std::abort();
  }
  if (bytes.find('<') == std::string_view::npos && tamarind::DecodeEscapes(encoded) != bytes) {
    std::abort();
  }

  const std::string decoded = tamarind::DecodeEscapes(bytes);
  if (decoded.size() > size) std::abort();
  // Text free of '<' has nothing to decode.
  if (bytes.find('<') == std::string_view::npos && decoded != bytes) std::abort();
  return 0;
}
