// What the checker finds in a configuration. Findings keep a binding from
// working and make the exit status 1; notes are worth knowing but need no
// change. Each is a sentence for the player that says what to do.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "bindings/bindings.h"
#include "tools/check/config_file.h"

namespace holsterkeys {

// One category's binding as the module reads it.
struct BindingReading {
  std::string text;       // the value text, as the profile reader returns it
  KeyCodeReading number;  // how the module's parser reads it; its code is polled
};
using BindingReadings = std::array<BindingReading, kCategoryCount>;

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

// The readings as a profile reader, so that the module's own cycle can
// run over them.
struct ReadingsReader {
  const BindingReadings& readings;
  void read_value(const char* name, ValueText& value) const;
};

struct Diagnosis {
  std::vector<std::string> findings;
  std::vector<std::string> notes;
  // Each category's state in a few words, in row order, from the first
  // finding about it: "not bound", "fires on every shot"; empty when none.
  std::array<std::string, kCategoryCount> status;
};

// Sets the category's status unless an earlier finding has.
void set_status(Diagnosis& diagnosis, const Category& category, std::string words);

// `readings` are what the platform's reader gave for `file`.
Diagnosis diagnose(const ConfigFile& file, const BindingReadings& readings);

// Windows and Wine read the bindings of these bytes differently: a UTF-8
// byte-order mark before a header, or UTF-16 big-endian.
bool readers_disagree(const std::string& bytes);

// Why `code` must not select `category`: the left mouse button fires and
// the right one aims in the game. Empty for every other code.
std::string fire_or_aim(KeyCode code, const Category& category);

// The code a player may take for a category when nothing else is bound:
// the numpad digit of its slot, as in the sample configuration.
KeyCode suggested_code(const Category& category);

}  // namespace holsterkeys
