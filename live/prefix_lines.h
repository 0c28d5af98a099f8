// The lines that start holsterkeys-setup.exe in a game's Wine prefix, for
// a player to copy: into a terminal, or into the game's launch options in
// Steam. Each is empty where none can be written for that game.
#pragma once

#include <string>

namespace holsterkeys {

inline constexpr char kSetupProgram[] = "holsterkeys-setup.exe";

// The text as a POSIX shell reads it back, quoted where it needs to be.
std::string shell_quoted(const std::string& text);

// For a game that Steam runs through Proton: protontricks-launch runs a
// program in the prefix of the Steam app `app_id`, finding the program's
// path from the terminal's folder, and runs it there. `folder` is the
// game's, a Linux path.
std::string protontricks_line(const std::string& folder, const std::string& app_id);

// For a game in a Wine prefix of its own: Wine in that prefix.
std::string wine_prefix_line(const std::string& folder, const std::string& prefix);

// Launch options that make Steam start holsterkeys-setup.exe in the game's
// folder in place of `program`, the game's program: Steam puts the command
// it would run in place of %command%, and Proton's command ends with the
// game's program and its arguments. The part before the program is run
// with holsterkeys-setup.exe, in the game's prefix and its current folder;
// a command without that program is run as it is.
std::string steam_launch_options(const std::string& folder, const std::string& program);

}  // namespace holsterkeys
