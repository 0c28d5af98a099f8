// The configuration file as the checker finds it at a path: there and read,
// missing, a folder, or there but unreadable, with the reason.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "files/file_system.h"

namespace holsterkeys {

// A file that the module never reads but a player may take for its own.
struct NearbyFile {
  std::string path;       // from the configuration's folder: "holsterkeys - Copy.ini",
                          // "mods\holsterkeys.ini"
  std::int64_t modified;  // when it was last saved, in seconds since 1970
};

struct ConfigFile {
  enum class State { kRead, kMissing, kFolder, kUnreadable };
  std::string location;  // the full path, for messages
  State state = State::kMissing;
  std::string bytes;    // kRead: the whole file
  FileFailure failure;  // kUnreadable: why
  std::string similar;  // kMissing: a file beside it whose name looks meant, such as
                        // holsterkeys.ini.txt or "holsterkeys.ini " with a blank
  // Found by find_nearby: when the file was last saved; the files beside
  // it or one folder below that look like it; and where its folder holds
  // no program, the programs of the folder above.
  std::int64_t modified = 0;
  std::vector<NearbyFile> look_alikes;
  std::vector<std::string> programs_above;
  // Where this is the VirtualStore copy that a game without administrator
  // rights reads in place of the file in its protected folder: that file,
  // when it was saved, whether it is missing, and whether it holds the same
  // bytes.
  std::string in_place_of;
  std::int64_t original_modified = 0;
  bool original_missing = false;
  bool same_as_original = false;
};

// The full path of `path`, as messages show it; backslashes are folder
// separators on every platform.
std::string full_path(const char* path);

ConfigFile inspect_config(const std::string& location);

// When the file at `location` was last saved, in seconds since 1970; 0
// where it cannot be found.
std::int64_t saved_at(const std::string& location);

// The copy that Windows gives a program without a manifest in place of the
// file at `location` where that lies in a protected folder: the same path,
// without its drive, under the player's VirtualStore folder. Nothing for a
// file in no protected folder.
std::optional<std::string> virtual_store_copy(const std::string& location,
                                              const VirtualStore& store);

// The VirtualStore copy at `copy`, with what it has in common with the
// file at `original` that it stands in for.
ConfigFile inspect_copy(const std::string& copy, const std::string& original);

// Adds to a holsterkeys.ini what lies around it (see ConfigFile). Apart
// from inspect_config, which a window repeats every half second, since it
// lists the folders below.
void find_nearby(ConfigFile& file);

// The configuration that a path given by the player stands for: the path
// itself, or for a folder, such as the game's, the holsterkeys.ini in it.
// A folder named holsterkeys.ini stands for itself, a fault to report.
std::string config_in(const std::string& location);

// Why the file `name`, beside a missing holsterkeys.ini, is taken for it.
enum class NearMiss {
  kHiddenExtension,  // holsterkeys.ini.txt: File Explorer hides the ".txt"
  kShortcut,         // holsterkeys.ini.lnk: a shortcut, not the file
  kEndsWithBlank,    // "holsterkeys.ini "
  kEndsWithDot,      // "holsterkeys.ini."
  kOtherName,        // holsterkey.ini, Holster_Keys.ini
};
NearMiss near_miss(const std::string& name);

// The file's name without its folder, and its folder; a backslash and a
// slash part folders on every platform.
std::string file_name(const std::string& location);
std::string folder_of(const std::string& location);

// True for the one name the module reads, holsterkeys.ini, in any case.
bool is_module_file_name(const std::string& name);

}  // namespace holsterkeys
