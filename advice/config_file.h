// The configuration file as the checker finds it at a path: there and read,
// missing, a folder, or there but unreadable, with the reason.
#pragma once

#include <string>

namespace holsterkeys {

struct ConfigFile {
  enum class State { kRead, kMissing, kFolder, kUnreadable };
  std::string location;  // the full path, for messages
  State state = State::kMissing;
  std::string bytes;    // kRead: the whole file
  std::string reason;   // kUnreadable: why, in a player's words
  std::string similar;  // kMissing: a file beside it whose name looks meant, such as
                        // holsterkeys.ini.txt or "holsterkeys.ini " with a blank
};

// The full path of `path`, as messages show it; backslashes are folder
// separators on every platform.
std::string full_path(const char* path);

ConfigFile inspect_config(const std::string& location);

// The configuration that a path given by the player stands for: the path
// itself, or for a folder, such as the game's, the holsterkeys.ini in it.
// A folder named holsterkeys.ini stands for itself, a fault to report.
std::string config_in(const std::string& location);

// Why the file `name`, beside a missing holsterkeys.ini, is taken for it:
// a hidden extension, a blank or a dot at the end, or a near miss.
std::string near_miss(const std::string& name);

// The file's name without its folder, and its folder.
std::string file_name(const std::string& location);
std::string folder_of(const std::string& location);

// A file name as Windows compares names: without regard to case.
std::string lowercase(std::string name);

// True for the one name the module reads, holsterkeys.ini, in any case.
bool is_module_file_name(const std::string& name);

}  // namespace holsterkeys
