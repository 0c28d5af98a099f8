// advice/: what the module makes of a player's file and what to tell the
// player, as both programs show it. It finds the file, reads it with the
// module's own table, reader and parser, and turns what it finds into
// findings, notes and a status for each category. It is portable and never
// includes <windows.h>: it uses the bindings, the selection cycle, the key
// names and the file system, and on Windows the module's own profile
// reader; nothing of the live library or of a program.
//
// What the checker finds in a configuration. Findings keep a binding from
// working and make the exit status 1; notes are worth knowing but need no
// change. Each is a sentence for the player that says what to do.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "advice/config_file.h"
#include "advice/proposal.h"
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

struct Diagnosis {
  std::vector<std::string> findings;
  std::vector<std::string> notes;
  // Each category's state in a few words, in row order, from the first
  // finding about it: "not bound", "fires on every shot"; empty when none.
  std::array<std::string, kCategoryCount> status;
  // The lines that the findings and notes propose, each proven to work
  // when followed.
  std::vector<Proposal> proposed;
};

// Sets the category's status unless an earlier finding has.
void set_status(Diagnosis& diagnosis, const Category& category, std::string words);

// `readings` are what the platform's reader gave for `file`. Every line the
// diagnosis proposes has been proven on the file's bytes.
Diagnosis diagnose(const ConfigFile& file, const BindingReadings& readings);

// The findings and notes as lists, then the verdict, each line ended with
// "\n": what the checker's report prints below its table and the setup
// window shows below its rows.
std::string findings_text(const BindingReadings& readings, const Diagnosis& diagnosis);

// Windows and Wine read the bindings of these bytes differently: a UTF-8
// byte-order mark before a header, or UTF-16 big-endian.
bool readers_disagree(const std::string& bytes);

// Why `code` must not select `category`: the left mouse button fires and
// the right one aims in the game. Empty for every other code.
std::string fire_or_aim(KeyCode code, const Category& category);

// Why a key just pressed must not become `category`'s key: fire_or_aim's
// reason, or that the code is one that Wine gives a dead key's accent.
// Empty when it may.
std::string press_danger(KeyCode code, const Category& category);

// The same as a sentence without its full stop: "Not the left mouse
// button: it fires, ...".
std::string refused_press(KeyCode code, const Category& category);

}  // namespace holsterkeys
