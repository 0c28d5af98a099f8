// Key-code parsing.
#include "bindings/bindings.h"

#include <cstdlib>
#include <limits>

namespace holsterkeys {

KeyCode parse_key_code(const char* text) {
  // strtoll is 64 bits wide everywhere, so clamping its result gives the
  // 32-bit strtol answer on hosts where long is 64 bits as well.
  const long long value = std::strtoll(text, nullptr, 0);
  constexpr long long kLowest = std::numeric_limits<KeyCode>::min();
  constexpr long long kHighest = std::numeric_limits<KeyCode>::max();
  if (value < kLowest) return static_cast<KeyCode>(kLowest);
  if (value > kHighest) return static_cast<KeyCode>(kHighest);
  return static_cast<KeyCode>(value);
}

}  // namespace holsterkeys
