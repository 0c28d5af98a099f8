// holsterkeys-check --running: the running programs that have the module
// loaded, what their slot variable holds, and where the module looks for
// its configuration.
#include <windows.h>

#include <cstdio>

#include "bindings/host.h"
#include "keys/key_names.h"
#include "keys/player_text.h"
#include "live/running_games.h"
#include "text/say.h"
#include "tools/check/console.h"
#include "tools/check/live.h"

namespace holsterkeys {
namespace {

void print_line(const std::string& sentence) { print_text("  " + sentence + "\n"); }

// "0x00B7CDBC", as the address is written everywhere.
std::string address_text() {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(kSlotAddress));
  return text;
}

void print_slot(const std::optional<std::int32_t>& slot_value) {
  const Filled<Fact::kCode> address{address_text()};
  if (!slot_value) {
    print_line(
        say("Slot variable at {code}: nothing can be read there, so this program is not "
            "the game version the module is made for.",
            address));
  } else if (is_slot_number(*slot_value)) {
    print_line(say("Slot variable at {code}: {slot}, a slot number the module stores.", address,
                   slot(*slot_value)));
  } else {
    print_line(
        say("Slot variable at {code}: {slot}, not a slot number ({count} to {other_count}): "
            "the game may not have set it yet, or this is another version of the game, "
            "which keeps its slot elsewhere.",
            address, slot(*slot_value), count(kLowestSlot), other_count(kHighestSlot)));
  }
}

void print_folder(const std::optional<std::string>& folder_now) {
  if (!folder_now) return print_line(say("Current folder: cannot be read."));
  std::string file = *folder_now;
  if (!file.empty() && file.back() != '\\') file += '\\';
  file += "holsterkeys.ini";
  const DWORD attributes = GetFileAttributesA(file.c_str());
  const bool there =
      attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  print_line(say("Current folder: {folder}", folder(as_utf8(*folder_now))));
  print_line(there ? say("The module reads {path}: it is there.", path(as_utf8(file)))
                   : say("The module reads {path}: it is not there. Put your holsterkeys.ini in "
                         "that folder.",
                         path(as_utf8(file))));
}

Filled<Fact::kProgram> program_of(const std::string& full_path) {
  return {full_path.empty() ? say("(unknown program)") : as_utf8(full_path)};
}

void print_game(const RunningGame& game) {
  print_text(say("Process {process}: {program}", fact<Fact::kProcess>(std::to_string(game.id)),
                 program_of(game.program)) +
             "\n");
  print_line(say("Module: {module}", fact<Fact::kModule>(as_utf8(game.module))));
  print_slot(game.slot);
  print_folder(game.folder);
}

void print_summary(const RunningSurvey& survey) {
  if (survey.games.empty()) {
    print_text(say("No running program has holsterkeys loaded. Start the game, and check that "
                   "your module loader loads holsterkeys.dll: it has to be in the folder the "
                   "loader reads (usually the game's folder), under the name the loader "
                   "expects.") +
               "\n");
  }
  for (const DeniedProgram& denied : survey.denied) {
    print_text(say("Access was denied to process {process} ({program}), so it could not be "
                   "examined. A game run as administrator needs the checker run as "
                   "administrator too.",
                   fact<Fact::kProcess>(std::to_string(denied.id)), program_of(denied.program)) +
               "\n");
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
