// holsterkeys-check --running: the running programs that have the module
// loaded, what their slot variable holds, and where the module looks for
// its configuration.
#include <windows.h>

#include <cstdio>

#include "live/running_games.h"
#include "tools/check/live.h"

namespace holsterkeys {
namespace {

void print_slot(const std::optional<std::int32_t>& slot) {
  if (!slot) {
    std::printf(
        "  Slot variable at 0x00B7CDBC: nothing can be read there, so this program is not "
        "the game version the module is made for.\n");
  } else if (*slot >= 2 && *slot <= 6) {
    std::printf("  Slot variable at 0x00B7CDBC: %d, a slot number the module stores.\n",
                static_cast<int>(*slot));
  } else {
    std::printf(
        "  Slot variable at 0x00B7CDBC: %d, not a slot number (2 to 6): the game may not "
        "have set it yet, or this is another version of the game, which keeps its slot "
        "elsewhere.\n",
        static_cast<int>(*slot));
  }
}

void print_folder(const std::optional<std::string>& folder) {
  if (!folder) {
    std::printf("  Current folder: cannot be read.\n");
    return;
  }
  std::string file = *folder;
  if (!file.empty() && file.back() != '\\') file += '\\';
  file += "holsterkeys.ini";
  const DWORD attributes = GetFileAttributesA(file.c_str());
  const bool there =
      attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  std::printf("  Current folder: %s\n  The module reads %s: %s\n", folder->c_str(), file.c_str(),
              there ? "it is there." : "it is not there. Put your holsterkeys.ini in that folder.");
}

void print_game(const RunningGame& game) {
  std::printf("Process %lu: %s\n  Module: %s\n", game.id, game.program.c_str(),
              game.module.c_str());
  print_slot(game.slot);
  print_folder(game.folder);
}

void print_summary(const RunningSurvey& survey) {
  if (survey.games.empty()) {
    std::printf(
        "No running program has holsterkeys loaded. Start the game, and check that your "
        "module loader loads holsterkeys.dll: it has to be in the folder the loader "
        "reads (usually the game's folder), under the name the loader expects.\n");
  }
  for (const std::string& program : survey.denied) {
    std::printf(
        "Access was denied to %s, so it could not be examined. A game run as "
        "administrator needs the checker run as administrator too.\n",
        program.c_str());
  }
}

}  // namespace

int list_running() {
  const RunningSurvey survey = survey_running();
  for (const RunningGame& game : survey.games) print_game(game);
  print_summary(survey);
  return survey.games.empty() ? 1 : 0;
}

}  // namespace holsterkeys
