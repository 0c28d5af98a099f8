// What every sentence the checker says must be, whatever the player's file
// holds: valid UTF-8 without a control character, which a console and a
// window show whole.
#pragma once

#include <cstddef>
#include <string_view>

namespace holsterkeys {

inline bool is_whole_text(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x20 || lead == 0x7F) return false;
    const std::size_t size = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (lead >= 0x80 && (lead < 0xC2 || lead > 0xF4 || at + size > text.size())) return false;
    char32_t code = size == 1 ? lead : lead & (0x7F >> size);
    for (std::size_t next = at + 1; next < at + size; ++next) {
      const auto byte = static_cast<unsigned char>(text[next]);
      if ((byte & 0xC0) != 0x80) return false;
      code = code << 6 | (byte & 0x3F);
    }
    const bool overlong = (size == 3 && code < 0x800) || (size == 4 && code < 0x10000);
    if (overlong || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF ||
        (code >= 0x80 && code < 0xA0)) {
      return false;
    }
    at += size;
  }
  return true;
}

}  // namespace holsterkeys
