// A portable reader of initialisation files, for use away from Windows.
//
// It gives the text that the Windows profile reader gives for the same file,
// so the checker and the tests see what the module sees. Its line parser is
// open to the checker, which explains a file line by line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "bindings/bindings.h"

namespace holsterkeys {

// One line of an initialisation file, as the Windows reader takes it.
struct ProfileLine {
  enum class Kind {
    kIgnored,   // blank, a comment, or before the first section
    kSection,   // "[name]": `name` is the section's name
    kEntry,     // "key=value": `name` is the key, `value` its text
    kNoEquals,  // text in a section without '=', which is no key
  };
  Kind kind;
  std::string_view name;
  std::string_view value;
  int number;  // counted from 1; CR LF ends one line
};

// The file's text as the reader sees it: a file that starts with a UTF-16LE
// byte-order mark is narrowed to the Western ANSI code page (1252), with '?'
// for what that lacks. Empty when the file cannot be read; `found` tells the
// two apart.
std::string read_profile_text(const char* path, bool* found = nullptr);
std::string profile_text(std::string_view file_bytes);

// Splits a file's text into lines; the views point into `text`.
std::vector<ProfileLine> parse_profile(std::string_view text);

// Section and key names compare without regard to case.
bool same_profile_name(std::string_view a, std::string_view b);

// Copies the value of `key` in the first section named `section` of the file
// at `path` into `value`, cut to `size` - 1 characters and NUL-terminated.
// A missing file, section or key gives the empty text. Backslashes in `path`
// are folder separators, so ".\name.ini" is "name.ini" in the current folder.
void read_profile_string(const char* path, const char* section, const char* key,
                         char* value, std::size_t size);
// The same, from the bytes of a file already read.
void find_profile_string(std::string_view file_bytes, const char* section, const char* key,
                         char* value, std::size_t size);

// The configuration file as a profile reader of the bindings.
class ProfileFile {
 public:
  explicit ProfileFile(const char* path = kConfigPath) : path_(path) {}
  void read_value(const char* key, ValueText& value) const {
    read_profile_string(path_, kConfigSection, key, value, kValueSize);
  }

 private:
  const char* path_;
};

}  // namespace holsterkeys
