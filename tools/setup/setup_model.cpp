#include "tools/setup/setup_model.h"

#include "advice/config_file.h"
#include "advice/finding_text.h"
#include "advice/visible_text.h"
#include "bindings/category_names.h"
#include "keys/key_names.h"
#include "keys/player_text.h"
#include "text/say.h"

namespace holsterkeys {
namespace {

std::string key_text(const BindingReading& reading) {
  const KeyCode code = reading.number.code;
  if (names_a_key(code)) {
    return say("{key} ({code})", fact<Fact::kKey>(shown_key_name(code)),
               fact<Fact::kCode>(hex_code(code)));
  }
  if (reading.text.empty()) return say("(none)");
  return say("\"{text}\"", fact<Fact::kText>(visible(reading.text)));
}

// Folders compare as Windows compares them: without case, and with or
// without a separator at the end.
std::string folder_key(std::string folder) {
  while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  return lowercase(folder);
}

Filled<Fact::kName> in_words(const Category& category) { return {say_stored(category.in_words)}; }

// The game's slot now, in the first sentence of the game line.
std::string loaded_with_slot(const RunningGame& game) {
  const auto program = fact<Fact::kProgram>(as_utf8(file_name(game.program)));
  if (!game.slot) {
    return say("Game: {program} has the module loaded; its slot cannot be read.", program);
  }
  if (!is_slot_number(*game.slot)) {
    return say("Game: {program} has the module loaded, slot {slot} (none selected yet).", program,
               slot(*game.slot));
  }
  return say("Game: {program} has the module loaded, slot {slot} ({name}).", program,
             slot(*game.slot), in_words(*category_with_slot(*game.slot)));
}

}  // namespace

SetupRows setup_rows(const BindingReadings& readings, const Diagnosis& diagnosis) {
  SetupRows rows;
  std::size_t at = 0;
  for (const Category* category : categories_by_slot()) {
    rows[at++] = {category, say("{name} (slot {slot})", in_words(*category), slot(category->slot)),
                  key_text(readings[row_of(*category)]), status_of(diagnosis, readings, *category)};
  }
  return rows;
}

std::string game_line(const std::vector<RunningGame>& games, const std::string& folder) {
  if (games.empty()) return say("Game: no running program has the module loaded.");
  const RunningGame& game = games.front();
  std::string reads;
  if (!game.folder) {
    reads = say("Its folder cannot be read.");
  } else if (folder_key(*game.folder) == folder_key(folder)) {
    reads = say("It reads this folder.");
  } else {
    reads = say(
        "But it reads holsterkeys.ini from {folder}, not from this folder. Move your file there, "
        "or start the game from here.",
        fact<Fact::kFolder>(as_utf8(*game.folder)));
  }
  return loaded_with_slot(game) + " " + reads;
}

}  // namespace holsterkeys
