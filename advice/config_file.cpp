// Reading the configuration the way a player's system does, so that a file
// that is there but cannot be read is told apart from a missing one.
#include "advice/config_file.h"

#include "advice/loose_names.h"
#include "files/file_system.h"
#include "keys/player_text.h"

namespace holsterkeys {
namespace {

// Windows hides known extensions, so "holsterkeys.ini.txt", a shortcut
// "holsterkeys.ini.lnk" and "holsterkeys.txt" all show as a configuration
// in File Explorer.
bool hides_extension(const std::string& name) {
  std::string stem = lowercase(name);
  bool extension = false;
  while (stem.ends_with(".ini") || stem.ends_with(".txt") || stem.ends_with(".lnk")) {
    stem.resize(stem.size() - 4);
    extension = true;
  }
  return extension && stem == "holsterkeys";
}

// The name without the marks Windows and browsers give a copy:
// "holsterkeys (3).ini", "holsterkeys - Copy.ini", "Copy of holsterkeys.ini".
std::string without_copy_marks(std::string name) {
  name = lowercase(name);
  for (const char* prefix : {"copy of ", "kopie von ", "copie de "}) {
    if (name.starts_with(prefix)) name.erase(0, std::string(prefix).size());
  }
  for (const char* suffix : {" - copy", " - kopie", " - copie", " - copia", " - kopia"}) {
    if (const std::size_t at = name.find(suffix); at != std::string::npos) {
      name.erase(at, std::string(suffix).size());
    }
  }
  const std::size_t open = name.find(" (");
  const std::size_t close = name.find(')', open);
  if (open != std::string::npos && close != std::string::npos && close > open + 2 &&
      name.find_first_not_of("0123456789", open + 2) == close) {
    name.erase(open, close - open + 1);
  }
  return name;
}

// A near miss of the name: "holsterkeys.ini " with a blank at its end,
// "holsterkey.ini", "Holster_Keys.ini", a copy or a shortcut of the file.
bool looks_meant(const std::string& name) {
  if (is_module_file_name(name)) return false;
  const std::string stem = without_copy_marks(name);
  return hides_extension(stem) || edit_distance(loose(stem), "holsterkeys.ini") <= 2;
}

// A file beside the missing one whose name looks meant for it.
std::string similar_file(const std::string& location) {
  if (!is_module_file_name(file_name(location))) return {};
  for (const FolderEntry& entry : entries_in(folder_of(location))) {
    if (!entry.folder && looks_meant(entry.name)) return entry.name;
  }
  return {};
}

// A program of the game's, not one of the module's own tools.
bool is_game_program(const std::string& name) {
  const std::string lower = lowercase(name);
  return lower.ends_with(".exe") && !lower.starts_with("holsterkeys");
}

std::vector<std::string> programs_in(const std::string& folder) {
  std::vector<std::string> programs;
  for (const FolderEntry& entry : entries_in(folder)) {
    if (!entry.folder && is_game_program(entry.name)) programs.push_back(entry.name);
  }
  return programs;
}

// The files in a folder below that the module would take for its own.
void look_below(ConfigFile& file, const std::string& folder, const std::string& below) {
  for (const FolderEntry& entry : entries_in(folder + kSeparator + below)) {
    if (!entry.folder && (is_module_file_name(entry.name) || looks_meant(entry.name))) {
      file.look_alikes.push_back({below + kSeparator + entry.name, entry.modified});
    }
  }
}

ConfigFile missing(ConfigFile file) {
  file.state = ConfigFile::State::kMissing;
  file.similar = similar_file(file.location);
  return file;
}

ConfigFile unreadable(ConfigFile file, FileFailure failure) {
  file.state = ConfigFile::State::kUnreadable;
  file.failure = std::move(failure);
  return file;
}

ConfigFile open_and_read(ConfigFile file) {
  FileFailure failure;
  if (!read_whole_file(file.location, file.bytes, failure)) return unreadable(file, failure);
  file.state = ConfigFile::State::kRead;
  return file;
}

}  // namespace

std::string full_path(const char* path) {
  std::string native = path;
  for (char& c : native) c = c == '\\' || c == '/' ? kSeparator : c;
  return absolute(native);
}

bool is_module_file_name(const std::string& name) { return lowercase(name) == "holsterkeys.ini"; }

// Windows paths, as other programs give them, have backslashes on every
// platform.
constexpr char kAnySeparator[] = "\\/";

std::string file_name(const std::string& location) {
  const std::size_t cut = location.find_last_of(kAnySeparator);
  return cut == std::string::npos ? location : location.substr(cut + 1);
}

std::string folder_of(const std::string& location) {
  const std::size_t cut = location.find_last_of(kAnySeparator);
  return cut == std::string::npos ? "." : location.substr(0, cut);
}

std::string config_in(const std::string& location) {
  FileFailure ignored;
  if (path_kind(location, ignored) != PathKind::kFolder ||
      is_module_file_name(file_name(location))) {
    return location;
  }
  const bool ends_in_separator = !location.empty() && location.back() == kSeparator;
  return location + (ends_in_separator ? "" : std::string(1, kSeparator)) + "holsterkeys.ini";
}

NearMiss near_miss(const std::string& name) {
  if (lowercase(name).ends_with(".lnk")) return NearMiss::kShortcut;
  if (hides_extension(name)) return NearMiss::kHiddenExtension;
  if (name.ends_with(' ')) return NearMiss::kEndsWithBlank;
  if (name.ends_with('.')) return NearMiss::kEndsWithDot;
  return NearMiss::kOtherName;
}

void find_nearby(ConfigFile& file) {
  if (!is_module_file_name(file_name(file.location))) return;
  const std::string folder = folder_of(file.location);
  bool program_here = false;
  for (const FolderEntry& entry : entries_in(folder)) {
    if (entry.folder) {
      look_below(file, folder, entry.name);
    } else if (is_module_file_name(entry.name)) {
      file.modified = entry.modified;
    } else if (looks_meant(entry.name)) {
      file.look_alikes.push_back({entry.name, entry.modified});
    }
    program_here |= !entry.folder && is_game_program(entry.name);
  }
  if (!program_here) file.programs_above = programs_in(folder_of(folder));
}

ConfigFile inspect_config(const std::string& location) {
  ConfigFile file;
  file.location = location;
  FileFailure failure;
  switch (path_kind(location, failure)) {
    case PathKind::kMissing:
      return missing(file);
    case PathKind::kFolder:
      file.state = ConfigFile::State::kFolder;
      return file;
    case PathKind::kError:
      return unreadable(file, failure);
    case PathKind::kFile:
      break;
  }
  return open_and_read(file);
}

std::int64_t saved_at(const std::string& location) {
  const std::string name = lowercase(file_name(location));
  for (const FolderEntry& entry : entries_in(folder_of(location))) {
    if (!entry.folder && lowercase(entry.name) == name) return entry.modified;
  }
  return 0;
}

ConfigFile inspect_copy(const std::string& copy, const std::string& original) {
  ConfigFile file = inspect_config(copy);
  file.modified = saved_at(copy);
  const ConfigFile in_place_of = inspect_config(original);
  file.in_place_of = original;
  file.original_modified = saved_at(original);
  file.original_missing = in_place_of.state == ConfigFile::State::kMissing;
  file.same_as_original = in_place_of.state == ConfigFile::State::kRead &&
                          file.state == ConfigFile::State::kRead && in_place_of.bytes == file.bytes;
  return file;
}

std::optional<std::string> virtual_store_copy(const std::string& location,
                                              const VirtualStore& store) {
  const std::string path = lowercase(location);
  for (const std::string& folder : store.protected_folders) {
    std::string protected_folder = lowercase(folder);
    while (protected_folder.ends_with('\\')) protected_folder.pop_back();
    const std::size_t length = protected_folder.size();
    if (!store.copies.empty() && path.starts_with(protected_folder) && path.size() > length &&
        path[length] == '\\') {
      // The copy keeps the path without its drive, "C:".
      return store.copies + location.substr(protected_folder.find(':') + 1);
    }
  }
  return std::nullopt;
}

}  // namespace holsterkeys
