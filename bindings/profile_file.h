// A portable reader of initialisation files, for use away from Windows.
//
// It gives the text that the Windows profile reader gives for the same file,
// so the checker and the tests see what the module sees.
#pragma once

#include <cstddef>

#include "bindings/bindings.h"

namespace holsterkeys {

// Copies the value of `key` in the first section named `section` of the file
// at `path` into `value`, cut to `size` - 1 characters and NUL-terminated.
// A missing file, section or key gives the empty text. Backslashes in `path`
// are folder separators, so ".\name.ini" is "name.ini" in the current folder.
void read_profile_string(const char* path, const char* section, const char* key,
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
