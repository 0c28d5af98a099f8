// Fuzzing of the portable profile reader and of the edit of one binding:
// any bytes as the file, any of the categories. The value buffer is exactly
// 100 bytes on the heap, so the sanitizer sees a write past it; the text
// must be terminated and at most 99 characters long. After the edit, the
// reader finds the new code for that category and every other value as it
// was, and every character outside the one value is as it was.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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

// The file's characters: 16-bit units after a UTF-16LE byte-order mark,
// else bytes.
std::vector<unsigned> characters_of(std::string_view bytes) {
  std::vector<unsigned> characters;
  const bool wide = is_utf16le(bytes);
  for (std::size_t at = 0; at < bytes.size(); at += wide ? 2 : 1) {
    const auto low = static_cast<unsigned char>(bytes[at]);
    const bool pair = wide && at + 1 < bytes.size();
    characters.push_back(pair ? low | static_cast<unsigned char>(bytes[at + 1]) << 8 : low);
  }
  return characters;
}

// The edit took out at most part of one line and put in only what an entry,
// a header and line ends are made of: every other character stays.
bool changes_only_one_value(std::string_view file, std::string_view edited,
                            const Category& changed) {
  const std::vector<unsigned> before = characters_of(file), after = characters_of(edited);
  std::size_t same_start = 0, same_end = 0;
  while (same_start < before.size() && same_start < after.size() &&
         before[same_start] == after[same_start]) {
    ++same_start;
  }
  while (same_end + same_start < before.size() && same_end + same_start < after.size() &&
         before[before.size() - 1 - same_end] == after[after.size() - 1 - same_end]) {
    ++same_end;
  }
  for (std::size_t at = same_start; at + same_end < before.size(); ++at) {
    if (before[at] == '\n' || before[at] == '\r') return false;
  }
  const std::string made_of = std::string("[]\r\n=0x46") + kConfigSection + changed.name;
  for (std::size_t at = same_start; at + same_end < after.size(); ++at) {
    if (after[at] > 0x7F || made_of.find(static_cast<char>(after[at])) == std::string::npos) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the category, the rest is the file.
  const Category& changed = kCategories[data[0] % kCategoryCount];
  const std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);
  (void)value_of(file, changed.name, ProfileDialect::kWine);

  const std::string edited = with_binding(file, changed, "0x46");
  if (!changes_only_one_value(file, edited, changed))
    fail("a character outside its value changed", changed.name);
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
