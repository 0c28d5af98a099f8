#include "tools/setup/setup_model.h"

#include "advice/config_file.h"
#include "advice/findings.h"
#include "advice/visible_text.h"
#include "bindings/category_names.h"
#include "keys/key_names.h"

namespace holsterkeys {
namespace {

std::string key_text(const BindingReading& reading) {
  const KeyCode code = reading.number.code;
  if (names_a_key(code)) return shown_key_name(code) + " (" + hex_code(code) + ")";
  if (reading.text.empty()) return "(none)";
  return "\"" + visible(reading.text) + "\"";
}

// Folders compare as Windows compares them: without case, and with or
// without a separator at the end.
std::string folder_key(std::string folder) {
  while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  return lowercase(folder);
}

std::string slot_words(const std::optional<std::int32_t>& slot) {
  if (!slot) return "its slot cannot be read";
  if (*slot < 2 || *slot > 6) return "slot " + std::to_string(*slot) + " (none selected yet)";
  return "slot " + std::to_string(*slot) + " (" +
         std::string(category_in_words(*category_with_slot(*slot))) + ")";
}

}  // namespace

SetupRows setup_rows(const BindingReadings& readings, const Diagnosis& diagnosis) {
  SetupRows rows;
  std::size_t at = 0;
  for (const Category* category : categories_by_slot()) {
    const std::size_t row = row_of(*category);
    const std::string& status = diagnosis.status[row];
    rows[at++] = {category,
                  std::string(category_in_words(*category)) + " (slot " +
                      std::to_string(category->slot) + ")",
                  key_text(readings[row]),
                  !status.empty()              ? status
                  : readings[row].text.empty() ? "not bound"
                                               : "ok"};
  }
  return rows;
}

std::string game_line(const std::vector<RunningGame>& games, const std::string& folder) {
  if (games.empty()) return "Game: no running program has the module loaded.";
  const RunningGame& game = games.front();
  const std::string program = game.program.substr(game.program.find_last_of("\\/") + 1);
  std::string line = "Game: " + program + " has the module loaded, " + slot_words(game.slot);
  if (!game.folder) return line + "; its folder cannot be read.";
  if (folder_key(*game.folder) == folder_key(folder)) return line + "; it reads this folder.";
  return line + "; but it reads holsterkeys.ini from " + *game.folder +
         ", not from this folder. Move your file there, or start the game from here.";
}

}  // namespace holsterkeys
