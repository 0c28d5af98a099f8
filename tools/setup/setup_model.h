// What the setup window shows, worked out without the Windows API: the five
// rows in slot order, the findings pane and the game line, from what the
// checker finds. The window only puts these texts on the screen.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "advice/diagnosis.h"
#include "bindings/bindings.h"
#include "live/running_games.h"

namespace holsterkeys {

struct SetupRow {
  const Category* category;
  std::string category_text;  // "Shotgun (slot 3)"
  std::string key_text;       // "Numpad2 (0x62)", "(none)", or the text as written
  std::string status;         // a few words from the checker's findings; "ok" when none
};
using SetupRows = std::array<SetupRow, kCategoryCount>;

// The five rows in slot order, 2 to 6.
SetupRows setup_rows(const BindingReadings& readings, const Diagnosis& diagnosis);

// The game line: the running game's slot now, and whether it reads the
// configuration of `folder`, the one the window edits; or that no running
// program has the module loaded. Of several games, the first that reads
// this folder. A game of another Wine prefix is compared by the folder's
// final path, `final_folder` (files/file_system.h), and the line says how
// to run this window in that prefix.
std::string game_line(const std::vector<RunningGame>& games, const std::string& folder,
                      const std::string& final_folder);

}  // namespace holsterkeys
