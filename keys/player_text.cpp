#include "keys/player_text.h"

namespace holsterkeys {
namespace {

// The character of a Windows-1252 byte; U+FFFD for the five it leaves out.
char32_t windows_1252(char32_t byte) {
  constexpr char32_t kC1[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
  return byte >= 0x80 && byte < 0xA0 ? kC1[byte - 0x80] : byte;
}

bool is_continuation(std::string_view text, std::size_t at) {
  return at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
}

}  // namespace

TextCharacter decode_at(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t size = lead >= 0xF0 && lead < 0xF5 ? 4
                           : lead >= 0xE0              ? 3
                           : lead >= 0xC2              ? 2
                                                       : 1;
  if (lead < 0x80 || size == 1) return {1, lead, false};
  char32_t code = lead & (0x7F >> size);
  for (std::size_t i = 1; i < size; ++i) {
    if (!is_continuation(text, at + i)) return {1, lead, false};
    code = code << 6 | (static_cast<unsigned char>(text[at + i]) & 0x3F);
  }
  // Overlong forms and surrogates are no characters.
  const bool overlong = (size == 3 && code < 0x800) || (size == 4 && code < 0x10000);
  if (overlong || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return {1, lead, false};
  return {size, code, true};
}

std::string utf8_of(char32_t code) {
  std::string bytes;
  if (code < 0x80) return std::string(1, static_cast<char>(code));
  if (code < 0x800) {
    bytes += static_cast<char>(0xC0 | (code >> 6));
  } else if (code < 0x10000) {
    bytes += static_cast<char>(0xE0 | (code >> 12));
    bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
  } else {
    bytes += static_cast<char>(0xF0 | (code >> 18));
    bytes += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
  }
  return bytes + static_cast<char>(0x80 | (code & 0x3F));
}

std::string as_utf8(std::string_view text) {
  std::string utf8;
  for (std::size_t at = 0; at < text.size();) {
    const TextCharacter c = decode_at(text, at);
    utf8 += c.unicode ? std::string(text.substr(at, c.size)) : utf8_of(windows_1252(c.code));
    at += c.size;
  }
  return utf8;
}

std::string lowercase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return lower;
}

}  // namespace holsterkeys
