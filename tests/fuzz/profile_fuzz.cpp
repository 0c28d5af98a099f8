// Fuzzing of the portable profile reader: any bytes as the file, any of the
// module's keys. The value buffer is exactly 100 bytes on the heap, so the
// sanitizer sees a write past it; the text must be terminated and at most
// 99 characters long.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "bindings/profile_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace holsterkeys;
  if (size == 0) return 0;
  // The first byte picks the key, the rest is the file.
  const char* name = kCategories[data[0] % kCategoryCount].name;
  const std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);

  const auto value = std::make_unique<char[]>(kValueSize);
  std::memset(value.get(), 'x', kValueSize);
  find_profile_string(file, kConfigSection, name, value.get(), kValueSize);
  if (std::memchr(value.get(), '\0', kValueSize) == nullptr) {
    std::fprintf(stderr, "value of %s is not terminated within %zu bytes\n", name, kValueSize);
    std::abort();
  }
  // Every line of the file is classified, whatever it holds.
  (void)parse_profile(profile_text(file));
  return 0;
}
