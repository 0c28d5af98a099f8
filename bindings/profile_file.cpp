// The rules of the Windows profile reader, one helper each: lines end at CR,
// LF or CR LF, blanks are spaces and tabs, names compare without case, a line
// that starts with ';' is a comment, the first matching section and key win,
// and one pair of matching quotes around a value is dropped.
#include "bindings/profile_file.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

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

// The bytes 0x80 to 0x9F of the Western ANSI code page (1252), by the
// character each stands for; five of them stand for themselves.
constexpr char16_t kAnsiHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The ANSI reader returns each UTF-16 character in the ANSI code page, here
// the Western one; a character it lacks reads as '?'.
char ansi_char(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
  const auto* found = std::find(std::begin(kAnsiHighControls), std::end(kAnsiHighControls), unit);
  if (found == std::end(kAnsiHighControls)) return '?';
  return static_cast<char>(0x80 + (found - std::begin(kAnsiHighControls)));
}

// One character for each UTF-16 unit after the byte-order mark.
std::string narrow_utf16(std::string_view bytes, bool big_endian) {
  std::string text;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    text.push_back(
        ansi_char(static_cast<char16_t>(big_endian ? first << 8 | second : second << 8 | first)));
  }
  return text;
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view strip_quotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// Takes the next line off `text`, and its line end into `ending`.
std::string_view next_line(std::string_view& text, std::string_view& ending) {
  // A plain scan: find_first_of looks up each character in the set with a
  // call of its own, which dominates the time for large files.
  std::size_t end = 0;
  while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
  const std::string_view line = text.substr(0, end);
  ending = text.substr(end, text.substr(end, 2) == "\r\n" ? 2 : 1);
  text.remove_prefix(end + ending.size());
  return line;
}

// Sorts a line by what the reader makes of it. A section header runs from
// '[' to the last ']' on the line.
void classify(ProfileLine& line, bool in_section) {
  using Kind = ProfileLine::Kind;
  const std::string_view text = trim(line.text);
  if (text.empty() || text.front() == ';') return;
  const std::size_t close = text.rfind(']');
  if (text.front() == '[' && close != std::string_view::npos && close > 0) {
    line.kind = Kind::kSection;
    line.name = trim(text.substr(1, close - 1));
    return;
  }
  if (!in_section) return;
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) {
    line.kind = Kind::kNoEquals;
    line.name = text;
    return;
  }
  line.kind = Kind::kEntry;
  line.name = trim(text.substr(0, equals));
  line.value = strip_quotes(trim(text.substr(equals + 1)));
}

}  // namespace

// The C library's stream reports a folder or a read error as a failed read,
// where a C++ stream may throw.
bool read_file_bytes(const char* path, std::string& bytes) {
  std::FILE* file = std::fopen(native_path(path).c_str(), "rb");
  if (file == nullptr) return false;
  char chunk[4096];
  for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
    bytes.append(chunk, got);
  const bool read = std::ferror(file) == 0;
  std::fclose(file);
  return read;
}

bool is_utf16le(std::string_view file_bytes) { return file_bytes.starts_with("\xFF\xFE"); }

bool dialects_read_alike(std::string_view file_bytes) {
  return !file_bytes.starts_with(kUtf8Mark) && !file_bytes.starts_with("\xFE\xFF");
}

std::string profile_text(std::string_view file_bytes, ProfileDialect dialect) {
  if (is_utf16le(file_bytes)) return narrow_utf16(file_bytes, false);
  if (dialect == ProfileDialect::kWindows) return std::string(file_bytes);
  if (file_bytes.starts_with("\xFE\xFF")) return narrow_utf16(file_bytes, true);
  if (file_bytes.starts_with(kUtf8Mark)) file_bytes.remove_prefix(kUtf8Mark.size());
  return std::string(file_bytes);
}

ProfileLines parse_profile(std::string_view text) {
  ProfileLines lines;
  // Growing a vector of a million lines costs more than parsing them.
  lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  bool in_section = false;
  for (int number = 1; !text.empty(); ++number) {
    ProfileLine& line = lines.emplace_back();
    line.text = next_line(text, line.ending);
    line.number = number;
    classify(line, in_section);
    in_section = in_section || line.kind == ProfileLine::Kind::kSection;
  }
  return lines;
}

bool same_profile_name(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

// The reader searches only the first section of that name, and in it takes
// the first entry of that name.
ProfileMatch locate_entry(const ProfileLines& lines, std::string_view section,
                          std::string_view name) {
  ProfileMatch match;
  for (const ProfileLine& line : lines) {
    if (line.kind == ProfileLine::Kind::kSection) {
      if (match.section != 0) break;
      if (same_profile_name(line.name, section)) match.section = line.number;
    } else if (match.section != 0 && match.entry == 0 && line.kind == ProfileLine::Kind::kEntry &&
               same_profile_name(line.name, name)) {
      match.entry = line.number;
      match.value = line.value;
    }
    if (match.section != 0) match.section_end = line.number;
  }
  return match;
}

void read_profile_string(const char* path, const char* section, const char* name, char* value,
                         std::size_t size) {
  std::string bytes;
  read_file_bytes(path, bytes);
  find_profile_string(bytes, section, name, value, size);
}

namespace {

// A NUL inside a value ends it, as in the Windows reader, which writes
// nothing past the NUL that ends the text.
void copy_cut(std::string_view found, char* value, std::size_t size) {
  const std::size_t length = std::min({found.find('\0'), found.size(), size - 1});
  std::copy_n(found.begin(), length, value);
  value[length] = '\0';
}

}  // namespace

void find_profile_string(std::string_view file_bytes, const char* section, const char* name,
                         char* value, std::size_t size, ProfileDialect dialect) {
  if (size == 0) return;
  const std::string text = profile_text(file_bytes, dialect);
  copy_cut(locate_entry(parse_profile(text), section, name).value, value, size);
}

void ProfileBytes::read_value(const char* name, ValueText& value) const {
  copy_cut(locate_entry(lines_, kConfigSection, name).value, value, kValueSize);
}

}  // namespace holsterkeys
