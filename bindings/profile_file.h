// A portable reader of initialisation files, for use away from Windows.
//
// It gives the text that the Windows profile reader gives for the same file,
// so the checker and the tests see what the module sees. Its line parser and
// its rule for finding an entry are open to the tools, which explain and
// edit a file line by line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "bindings/bindings.h"

namespace holsterkeys {

// One line of an initialisation file, as the Windows reader takes it. The
// views point into the file's text.
struct ProfileLine {
  enum class Kind {
    kIgnored,   // blank, a comment, or before the first section
    kSection,   // "[name]": `name` is the section's name
    kEntry,     // "name=value": `name` is the entry's, `value` its text
    kNoEquals,  // text in a section without '=', which is no entry
  };
  Kind kind = Kind::kIgnored;
  std::string_view name;
  std::string_view value;   // as the reader returns it: trimmed, one pair of quotes dropped
  std::string_view text;    // the whole line as written, without its line end
  std::string_view ending;  // "\r\n", "\n", "\r", or empty on a last line without one
  int number = 0;           // counted from 1
};
using ProfileLines = std::vector<ProfileLine>;

// The readers of Windows and of Wine take two encodings differently: Wine
// skips a UTF-8 byte-order mark, which Windows reads as part of the first
// line, and reads UTF-16 big-endian, which Windows reads as bytes.
enum class ProfileDialect { kWindows, kWine };
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The file's text as the reader sees it: a file that starts with a UTF-16LE
// byte-order mark is narrowed to the Western ANSI code page (1252), with '?'
// for what that lacks, one character for each UTF-16 unit.
std::string profile_text(std::string_view file_bytes,
                         ProfileDialect dialect = ProfileDialect::kWindows);
bool is_utf16le(std::string_view file_bytes);
// False for the bytes whose text the two dialects take differently: those
// that start with a UTF-8 or a UTF-16 big-endian byte-order mark.
bool dialects_read_alike(std::string_view file_bytes);

// The whole file; false when it cannot be opened or read. Backslashes in
// `path` are folder separators, so ".\name.ini" is "name.ini" in the
// current folder.
bool read_file_bytes(const char* path, std::string& bytes);

// Splits a file's text into lines; the views point into `text`.
ProfileLines parse_profile(std::string_view text);

// Section and entry names compare without regard to case.
bool same_profile_name(std::string_view a, std::string_view b);

// Where the reader finds an entry: in the first section named `section`,
// the first entry named `name`. Line numbers count from 1; 0 is none.
struct ProfileMatch {
  int section = 0;         // that section's header
  int section_end = 0;     // the section's last line, before the next header
  int entry = 0;           // the entry the reader returns
  std::string_view value;  // its value, as the reader returns it
};
ProfileMatch locate_entry(const ProfileLines& lines, std::string_view section,
                          std::string_view name);

// Copies the value of `name` in the first section named `section` of the file
// at `path` into `value`, cut to `size` - 1 characters and NUL-terminated.
// A missing file, section or entry gives the empty text.
void read_profile_string(const char* path, const char* section, const char* name, char* value,
                         std::size_t size);
// The same, from the bytes of a file already read.
void find_profile_string(std::string_view file_bytes, const char* section, const char* name,
                         char* value, std::size_t size,
                         ProfileDialect dialect = ProfileDialect::kWindows);

// A file's bytes, already read, as a profile reader of the bindings. The
// bytes are parsed once, however many values are read, and the lines stay
// open to the tools.
class ProfileBytes {
 public:
  ProfileBytes(std::string_view bytes, ProfileDialect dialect)
      : text_(profile_text(bytes, dialect)), lines_(parse_profile(text_)) {}
  // The lines point into this object's own text.
  ProfileBytes(const ProfileBytes&) = delete;
  ProfileBytes& operator=(const ProfileBytes&) = delete;

  const ProfileLines& lines() const { return lines_; }
  void read_value(const char* name, ValueText& value) const;

 private:
  std::string text_;
  ProfileLines lines_;
};

// The configuration file as a profile reader of the bindings.
class ProfileFile {
 public:
  explicit ProfileFile(const char* path = kConfigPath) : path_(path) {}
  void read_value(const char* name, ValueText& value) const {
    read_profile_string(path_, kConfigSection, name, value, kValueSize);
  }

 private:
  const char* path_;
};

}  // namespace holsterkeys
