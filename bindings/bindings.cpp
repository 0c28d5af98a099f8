// Key-code parsing, as strtol with base 0 on a platform whose long is 32 bits
// wide. It is written out rather than borrowed from the C library so that it
// gives that answer on every platform, 64-bit hosts included, and does not
// depend on the C library's locale.
#include "bindings/bindings.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace holsterkeys {
namespace {

constexpr unsigned kNoDigit = 36;

// White space as the C locale's isspace knows it.
bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

unsigned digit_value(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'a' && c <= 'z') return static_cast<unsigned>(c - 'a' + 10);
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned>(c - 'A' + 10);
  return kNoDigit;
}

// A "0x" prefix counts only when a hexadecimal digit follows it; otherwise
// the leading 0 is an octal number of its own and the x ends it.
unsigned base_of(const char*& digits) {
  if (digits[0] != '0') return 10;
  if ((digits[1] == 'x' || digits[1] == 'X') && digit_value(digits[2]) < 16) {
    digits += 2;
    return 16;
  }
  return 8;
}

}  // namespace

KeyCodeReading read_key_code(const char* text) {
  const char* const start = text;
  while (is_space(*text)) ++text;
  const bool negative = *text == '-';
  if (*text == '+' || *text == '-') ++text;
  const unsigned base = base_of(text);
  const char* const digits = text;

  // Past 2^32 the magnitude is out of range either way, so it stops growing.
  constexpr std::uint64_t kSaturated = std::uint64_t{1} << 32;
  std::uint64_t magnitude = 0;
  for (unsigned digit; (digit = digit_value(*text)) < base; ++text) {
    magnitude = std::min(magnitude * base + digit, kSaturated);
  }

  constexpr std::int64_t kLowest = std::numeric_limits<KeyCode>::min();
  constexpr std::int64_t kHighest = std::numeric_limits<KeyCode>::max();
  const std::int64_t value =
      negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
  const bool has_digits = text != digits;
  // Like strtol, a text without digits is not read at all.
  return {static_cast<KeyCode>(std::clamp(value, kLowest, kHighest)), base,
          static_cast<std::size_t>(digits - start), has_digits,
          has_digits ? static_cast<std::size_t>(text - start) : 0};
}

}  // namespace holsterkeys
