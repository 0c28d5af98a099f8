#include "bindings/profile_edit.h"

#include "bindings/profile_file.h"

namespace holsterkeys {
namespace {

// One change to a file's text: `length` characters at `at` become `text`.
struct Edit {
  std::size_t at;
  std::size_t length;
  std::string text;
};

std::size_t offset_in(std::string_view text, std::string_view part) {
  return static_cast<std::size_t>(part.data() - text.data());
}

// Added lines end as the file's lines do, or with CR LF as Notepad writes.
std::string_view line_end_of(const ProfileLines& lines) {
  for (const ProfileLine& line : lines) {
    if (!line.ending.empty()) return line.ending;
  }
  return "\r\n";
}

bool is_quote(char c) { return c == '"' || c == '\''; }

// A remark that the new number cannot run into and that names no other
// number: "; numpad 2" and " numpad" stay, " 0x32" and " or 0x32" go.
bool reads_as_remark(std::string_view tail) {
  const std::size_t start = tail.find_first_not_of(" \t");
  if (start == 0 || tail.empty()) return !tail.empty() && tail.front() == ';';
  return start == std::string_view::npos || tail[start] == ';' ||
         tail.find_first_of("0123456789") == std::string_view::npos;
}

// The value as written, with the quotes that the reader dropped: the
// character before a value is '=' or a blank unless it is such a quote.
std::string_view written_value(std::string_view value) {
  if (!is_quote(value.data()[-1])) return value;
  return {value.data() - 1, value.size() + 2};
}

// Replaces the old number. A remark after it stays out of the edit, quotes
// around both included, so that its bytes stay as they are in any
// encoding; other text after the number goes, with the quotes.
Edit replace_value(std::string_view text, const ProfileLine& line, std::string_view value) {
  const std::string_view written = written_value(line.value);
  const KeyCodeReading old = read_key_code(std::string(line.value).c_str());
  if (reads_as_remark(line.value.substr(old.end))) {
    return {offset_in(text, line.value), old.end, std::string(value)};
  }
  return {offset_in(text, written), written.size(), std::string(value)};
}

// Adds the entry after the section's last entry, or after its header.
Edit add_entry(std::string_view text, const ProfileLines& lines, const ProfileMatch& match,
               const std::string& entry) {
  const ProfileLine* last = &lines[static_cast<std::size_t>(match.section - 1)];
  for (int number = match.section + 1; number <= match.section_end; ++number) {
    const ProfileLine& line = lines[static_cast<std::size_t>(number - 1)];
    if (line.kind != ProfileLine::Kind::kIgnored) last = &line;
  }
  const std::size_t at = offset_in(text, last->text) + last->text.size();
  return {at, 0, std::string(line_end_of(lines)) + entry};
}

Edit add_section(std::string_view text, const ProfileLines& lines, const std::string& entry) {
  const std::string end(line_end_of(lines));
  const bool ends_open = !lines.empty() && lines.back().ending.empty();
  return {text.size(), 0, (ends_open ? end : "") + "[" + kConfigSection + "]" + end + entry + end};
}

// A UTF-16LE file changes in its own encoding: one text character is one
// 16-bit unit after the two bytes of the byte-order mark.
std::string apply(std::string_view bytes, const Edit& edit) {
  std::string result(bytes);
  if (!is_utf16le(bytes)) return result.replace(edit.at, edit.length, edit.text);
  std::string wide;
  for (char c : edit.text) wide += {c, '\0'};
  return result.replace(2 + 2 * edit.at, 2 * edit.length, wide);
}

}  // namespace

std::string with_binding(std::string_view file_bytes, const Category& category,
                         std::string_view value) {
  const std::string text = profile_text(file_bytes);
  const ProfileLines lines = parse_profile(text);
  const ProfileMatch match = locate_entry(lines, kConfigSection, category.name);
  const std::string entry = std::string(category.name) + "=" + std::string(value);
  if (match.entry != 0) {
    return apply(file_bytes,
                 replace_value(text, lines[static_cast<std::size_t>(match.entry - 1)], value));
  }
  if (match.section != 0) return apply(file_bytes, add_entry(text, lines, match, entry));
  return apply(file_bytes, add_section(text, lines, entry));
}

}  // namespace holsterkeys
