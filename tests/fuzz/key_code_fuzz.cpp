// Differential fuzzing of key-code parsing: on any text, cut to 99
// characters as the reader cuts it, the parser must give what the C
// library's strtoll gives, clamped to 32 bits, and stop where it stops.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include "bindings/bindings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using holsterkeys::KeyCode;
  const std::string bytes(reinterpret_cast<const char*>(data),
                          std::min(size, holsterkeys::kValueSize - 1));
  const char* text = bytes.c_str();  // as a C string, the text ends at a NUL

  char* end;
  const long long wide = std::strtoll(text, &end, 0);
  const KeyCode expected = static_cast<KeyCode>(std::clamp<long long>(
      wide, std::numeric_limits<KeyCode>::min(), std::numeric_limits<KeyCode>::max()));
  const holsterkeys::KeyCodeReading reading = holsterkeys::read_key_code(text);
  if (reading.code != expected || reading.end != static_cast<std::size_t>(end - text)) {
    std::fprintf(
        stderr,
        "read_key_code(\"%s\") = %d ending at %zu, clamped strtoll gives %d ending at %zu\n", text,
        static_cast<int>(reading.code), reading.end, static_cast<int>(expected),
        static_cast<std::size_t>(end - text));
    std::abort();
  }
  return 0;
}
