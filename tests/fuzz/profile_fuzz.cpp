// Fuzzing of the portable profile reader and of the edit of one binding:
// any bytes as the file, any of the categories. The value buffer is exactly
// 100 bytes on the heap, so the sanitizer sees a write past it; the text
// must be terminated and at most 99 characters long. After the edit, the
// reader finds the new code for that category and every other value as it
// was.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "bindings/profile_edit.h"
#include "bindings/profile_file.h"

namespace {

using namespace holsterkeys;

std::string value_of(std::string_view file, const char* name, ProfileDialect dialect) {
  const auto value = std::make_unique<char[]>(kValueSize);
  std::memset(value.get(), 'x', kValueSize);
  find_profile_string(file, kConfigSection, name, value.get(), kValueSize, dialect);
  if (std::memchr(value.get(), '\0', kValueSize) == nullptr) {
    std::fprintf(stderr, "value of %s is not terminated within %zu bytes\n", name, kValueSize);
    std::abort();
  }
  return value.get();
}

void fail(const char* what, const char* name) {
  std::fprintf(stderr, "after binding %s: %s\n", name, what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the category, the rest is the file.
  const Category& changed = kCategories[data[0] % kCategoryCount];
  const std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);
  (void)value_of(file, changed.name, ProfileDialect::kWine);

  const std::string edited = with_binding(file, changed, "0x46");
  for (const Category& category : kCategories) {
    const std::string after = value_of(edited, category.name, ProfileDialect::kWindows);
    if (&category == &changed && parse_key_code(after.c_str()) != 0x46) {
      fail("the category does not read 0x46", category.name);
    }
    if (&category != &changed && after != value_of(file, category.name, ProfileDialect::kWindows)) {
      fail("another category changed", category.name);
    }
  }
  return 0;
}
