// The rules of the Windows profile reader, one helper each: lines end at CR
// or LF, blanks are spaces and tabs, names compare without case, a line that
// starts with ';' is a comment, the first matching section and key win, and
// one pair of matching quotes around a value is dropped.
#include "bindings/profile_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace holsterkeys {
namespace {

#ifdef _WIN32
constexpr bool kBackslashIsSeparator = false;
#else
constexpr bool kBackslashIsSeparator = true;
#endif

std::string native_path(const char* path) {
  std::string result = path;
  if (kBackslashIsSeparator) std::replace(result.begin(), result.end(), '\\', '/');
  return result;
}

// A file that starts with a UTF-16LE byte-order mark is read as UTF-16; the
// characters are narrowed to one byte each, as the ANSI reader returns them.
std::string narrow_utf16le(std::string_view bytes) {
  std::string text;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const unsigned unit = static_cast<unsigned char>(bytes[i]) |
                          static_cast<unsigned char>(bytes[i + 1]) << 8;
    text.push_back(unit < 0x100 ? static_cast<char>(unit) : '?');
  }
  return text;
}

std::string read_file_text(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return {};
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') return narrow_utf16le(bytes);
  return bytes;
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

bool same_name(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

std::string_view strip_quotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// The name of a section header "[name]", up to its last ']'; false when the
// line is no header.
bool section_header(std::string_view line, std::string_view& name) {
  const std::size_t close = line.rfind(']');
  if (line.empty() || line.front() != '[' || close == std::string_view::npos || close == 0) {
    return false;
  }
  name = trim(line.substr(1, close - 1));
  return true;
}

// Finds the value of `key` in the first section named `section`.
bool find_value(std::string_view text, std::string_view section, std::string_view key,
                std::string_view& value) {
  bool in_section = false;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
    const std::string_view line = trim(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));

    std::string_view name;
    if (section_header(line, name)) {
      // Only the first section of that name is searched.
      if (in_section) return false;
      in_section = same_name(name, section);
      continue;
    }
    if (!in_section || line.empty() || line.front() == ';') continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    if (same_name(trim(line.substr(0, equals)), key)) {
      value = strip_quotes(trim(line.substr(equals + 1)));
      return true;
    }
  }
  return false;
}

}  // namespace

void read_profile_string(const char* path, const char* section, const char* key,
                         char* value, std::size_t size) {
  if (size == 0) return;
  const std::string text = read_file_text(native_path(path));
  std::string_view found;
  find_value(text, section, key, found);
  const std::size_t length = std::min(found.size(), size - 1);
  std::copy_n(found.begin(), length, value);
  value[length] = '\0';
}

}  // namespace holsterkeys
