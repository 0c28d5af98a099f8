// holsterkeys-check --running: the running programs that have the module
// loaded, what their slot variable holds, and where the module looks for
// its configuration.
#include <windows.h>

#include <cstdio>

#include "advice/config_file.h"
#include "bindings/host.h"
#include "keys/key_names.h"
#include "keys/player_text.h"
#include "live/prefix_lines.h"
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

// The folder, and whether the module finds its file there: `separator`
// parts the folder's path from the file's name, a backslash in Windows'
// paths and a slash in Linux's.
void print_folder(const std::optional<std::string>& folder_now, char separator, bool there) {
  if (!folder_now) return print_line(say("Current folder: cannot be read."));
  std::string file = *folder_now;
  if (!file.empty() && file.back() != separator) file += separator;
  file += file_name(kConfigPath);
  print_line(say("Current folder: {folder}", folder(as_utf8(*folder_now))));
  print_line(there ? say("The module reads {path}: it is there.", path(as_utf8(file)))
                   : say("The module reads {path}: it is not there. Put your holsterkeys.ini in "
                         "that folder.",
                         path(as_utf8(file))));
}

Filled<Fact::kProgram> program_of(const std::string& full_path) {
  return {full_path.empty() ? say("(unknown program)") : as_utf8(full_path)};
}

// Whether holsterkeys.ini is in the Windows folder `folder_now`.
bool config_in(const std::optional<std::string>& folder_now) {
  if (!folder_now) return false;
  std::string file = *folder_now;
  if (!file.empty() && file.back() != '\\') file += '\\';
  const DWORD attributes = GetFileAttributesA((file + file_name(kConfigPath)).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A command for the player to copy, on a line of its own.
void print_command(const std::string& command) { print_text("    " + command + "\n"); }

// How to run holsterkeys-setup.exe in the game's prefix, where it sees
// the game as a Windows program: for a game of Steam's, protontricks or
// Steam itself; else Wine with that prefix.
void print_how_to_reach(const RunningGame& game, const OtherPrefix& elsewhere) {
  const std::string folder_now = game.folder.value_or("");
  const std::string command = elsewhere.steam ? protontricks_line(folder_now, elsewhere.app_id)
                                              : wine_prefix_line(folder_now, elsewhere.prefix);
  if (!command.empty()) {
    print_line(
        say("To run holsterkeys-setup.exe in the game's prefix, enter this line in a "
            "terminal:"));
    print_command(as_utf8(command));
  }
  const std::string options = steam_launch_options(folder_now, game.program);
  if (elsewhere.steam && !options.empty()) {
    print_line(
        say("Or set the game's launch options in Steam to this line and start the game: "
            "holsterkeys-setup.exe starts instead of the game. Clear the launch options "
            "again to play:"));
    print_command(as_utf8(options));
  }
}

void print_game(const RunningGame& game) {
  print_text(say("Process {process}: {program}", fact<Fact::kProcess>(std::to_string(game.id)),
                 program_of(game.program)) +
             "\n");
  print_line(say("Module: {module}", fact<Fact::kModule>(as_utf8(game.module))));
  print_slot(game.slot);
  print_folder(game.folder, '\\', config_in(game.folder));
}

// A game of another Wine prefix, as Linux shows it: its paths are Linux's.
void print_game_elsewhere(const RunningGame& game, const OtherPrefix& elsewhere) {
  print_text(say("Linux process {process}: {program}",
                 fact<Fact::kProcess>(std::to_string(game.id)), program_of(game.program)) +
             "\n");
  print_line(say("Module: {module}", fact<Fact::kModule>(as_utf8(game.module))));
  print_line(say("Wine prefix: {prefix}, not this program's prefix.",
                 fact<Fact::kPrefix>(as_utf8(elsewhere.prefix))));
  if (!elsewhere.app_id.empty()) {
    print_line(say("Steam app: {app}", fact<Fact::kApp>(elsewhere.app_id)));
  }
  if (elsewhere.slot_hidden) {
    print_line(say("Slot variable at {code}: this program may not read it.",
                   Filled<Fact::kCode>{address_text()}));
  } else {
    print_slot(game.slot);
  }
  print_folder(game.folder, '/', elsewhere.config_there);
  print_how_to_reach(game, elsewhere);
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
  for (const RunningGame& game : survey.games) {
    if (game.elsewhere) {
      print_game_elsewhere(game, *game.elsewhere);
    } else {
      print_game(game);
    }
  }
  print_summary(survey);
  return survey.games.empty() ? 1 : 0;
}

}  // namespace holsterkeys
