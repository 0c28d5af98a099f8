// advice/: what the module makes of a player's file and what to tell the
// player, as both programs show it. It finds the file, reads it with the
// module's own table, reader and parser, and turns what it finds into
// findings and notes (finding.h), each proposing only lines proven to work,
// and into a status for each category; finding_text.h puts them into
// words. It is portable and never includes <windows.h>: it uses the
// bindings, the selection cycle, the key names, the players' words and the
// file system, and on Windows the module's own profile reader; nothing of
// the live library or of a program.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "advice/config_file.h"
#include "advice/finding.h"
#include "bindings/bindings.h"

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

// `readings` are what the platform's reader gave for `file`. Every line the
// diagnosis proposes has been proven on the file's bytes.
Diagnosis diagnose(const ConfigFile& file, const BindingReadings& readings);

// The line that binds `category` to `code` in `file`, where it works when
// followed; nothing where it does not.
std::optional<Proposal> proven_binding(const ConfigFile& file, const BindingReadings& readings,
                                       const Category& category, KeyCode code);

// Windows and Wine read the bindings of these bytes differently: a UTF-8
// byte-order mark before a header, or UTF-16 big-endian.
bool readers_disagree(const std::string& bytes);

// Why a key just pressed must not become a category's key.
enum class PressDanger {
  kNone,
  kFires,            // the left mouse button: every shot would switch
  kAims,             // the right one: every aim would
  kAccentUnderWine,  // under Wine, a dead key reaches programs only on every second press
};
PressDanger press_danger(KeyCode code);

}  // namespace holsterkeys
