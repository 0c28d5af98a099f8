#include "tools/setup/setup_model.h"

#include <algorithm>

#include "advice/config_file.h"
#include "advice/finding_text.h"
#include "advice/visible_text.h"
#include "bindings/category_names.h"
#include "keys/key_names.h"
#include "keys/player_text.h"
#include "live/prefix_lines.h"
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

// The same for a game of another Wine prefix, whose slot this window
// may not be let read: no slot is claimed that was not read.
std::string loaded_elsewhere(const RunningGame& game, const OtherPrefix& elsewhere) {
  const auto program = fact<Fact::kProgram>(as_utf8(file_name(game.program)));
  const auto prefix = fact<Fact::kPrefix>(as_utf8(elsewhere.prefix));
  if (!game.slot) {
    return say(
        "Game: {program} has the module loaded in another Wine prefix, {prefix}; its slot "
        "cannot be read.",
        program, prefix);
  }
  if (!is_slot_number(*game.slot)) {
    return say(
        "Game: {program} has the module loaded, slot {slot} (none selected yet), in "
        "another Wine prefix: {prefix}.",
        program, slot(*game.slot), prefix);
  }
  return say(
      "Game: {program} has the module loaded, slot {slot} ({name}), in another Wine "
      "prefix: {prefix}.",
      program, slot(*game.slot), in_words(*category_with_slot(*game.slot)), prefix);
}

// How to run this window where it sees the game as a Windows program, in
// the game's prefix: the sentences that say it, added to `line`.
void add_how_to_reach(std::vector<std::string>& line, const RunningGame& game,
                      const OtherPrefix& elsewhere) {
  const std::string folder_now = game.folder.value_or("");
  const std::string command = elsewhere.steam ? protontricks_line(folder_now, elsewhere.app_id)
                                              : wine_prefix_line(folder_now, elsewhere.prefix);
  if (elsewhere.steam && !elsewhere.app_id.empty()) {
    line.push_back(say("It runs under Steam as app {app}.", fact<Fact::kApp>(elsewhere.app_id)));
  }
  if (!command.empty()) {
    line.push_back(say("To run this window in the game's prefix, enter in a terminal: {command}",
                       fact<Fact::kCommand>(as_utf8(command))));
  }
}

std::string sentences(const std::vector<std::string>& said) {
  std::string text;
  for (const std::string& sentence : said) text += (text.empty() ? "" : " ") + sentence;
  return text;
}

bool reads_folder(const RunningGame& game, const std::string& folder,
                  const std::string& final_folder) {
  if (game.elsewhere) {
    return !game.elsewhere->folder_here.empty() &&
           folder_key(game.elsewhere->folder_here) == folder_key(final_folder);
  }
  return game.folder && folder_key(*game.folder) == folder_key(folder);
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

std::string game_line(const std::vector<RunningGame>& games, const std::string& folder,
                      const std::string& final_folder) {
  if (games.empty()) return say("Game: no running program has the module loaded.");
  const auto reading_here = std::find_if(games.begin(), games.end(), [&](const RunningGame& each) {
    return reads_folder(each, folder, final_folder);
  });
  const RunningGame& game = reading_here != games.end() ? *reading_here : games.front();
  std::string reads;
  if (!game.folder) {
    reads = say("Its folder cannot be read.");
  } else if (reads_folder(game, folder, final_folder)) {
    reads = say("It reads this folder.");
  } else {
    reads = say(
        "But it reads holsterkeys.ini from {folder}, not from this folder. Move your file there, "
        "or start the game from here.",
        fact<Fact::kFolder>(as_utf8(*game.folder)));
  }
  if (!game.elsewhere) return sentences({loaded_with_slot(game), reads});
  std::vector<std::string> line{loaded_elsewhere(game, *game.elsewhere), reads};
  add_how_to_reach(line, game, *game.elsewhere);
  return sentences(line);
}

}  // namespace holsterkeys
