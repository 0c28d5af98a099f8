// What the checker finds in a configuration: each finding is a sentence for
// the player that says what is wrong and what to do.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "bindings/bindings.h"

namespace holsterkeys {

// One category's binding as the module reads it.
struct BindingReading {
  std::string text;       // the value text, as the profile reader returns it
  KeyCodeReading number;  // how the module's parser reads it; its code is polled
};
using BindingReadings = std::array<BindingReading, kCategoryCount>;

// The configuration file as the checker found it.
struct ConfigFile {
  std::string location;  // the full path, for messages
  bool found;
  std::string text;  // as the portable reader sees it
};

// Reads the five bindings with the module's own table, reader calls and parser.
template <ProfileReader Reader>
BindingReadings read_bindings(Reader& reader) {
  ValueTexts texts;
  read_value_texts(reader, texts);
  BindingReadings readings;
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    readings[row] = {texts[row], read_key_code(texts[row])};
  }
  return readings;
}

std::vector<std::string> diagnose(const ConfigFile& file, const BindingReadings& readings);

}  // namespace holsterkeys
