// Reading the configuration the way a player's system does, so that a file
// that is there but cannot be read is told apart from a missing one.
#include "advice/config_file.h"

#include "advice/loose_names.h"

#include "files/file_system.h"

namespace holsterkeys {
namespace {

// Windows hides known extensions, so "holsterkeys.ini.txt" and
// "holsterkeys.txt" both show as a configuration in File Explorer.
bool hides_extension(const std::string& name) {
  std::string stem = lowercase(name);
  bool extension = false;
  while (stem.ends_with(".ini") || stem.ends_with(".txt")) {
    stem.resize(stem.size() - 4);
    extension = true;
  }
  return extension && stem == "holsterkeys";
}

// A near miss of the name: "holsterkeys.ini " with a blank at its end,
// "holsterkey.ini", "Holster_Keys.ini".
bool looks_meant(const std::string& name) {
  if (is_module_file_name(name)) return false;
  return hides_extension(name) || edit_distance(loose(name), "holsterkeys.ini") <= 2;
}

// A file beside the missing one whose name looks meant for it.
std::string similar_file(const std::string& location) {
  if (!is_module_file_name(file_name(location))) return {};
  for (const std::string& name : file_names_in(folder_of(location))) {
    if (looks_meant(name)) return name;
  }
  return {};
}

ConfigFile missing(ConfigFile file) {
  file.state = ConfigFile::State::kMissing;
  file.similar = similar_file(file.location);
  return file;
}

ConfigFile unreadable(ConfigFile file, std::string reason) {
  file.state = ConfigFile::State::kUnreadable;
  file.reason = std::move(reason);
  return file;
}

ConfigFile open_and_read(ConfigFile file) {
  std::string reason;
  if (!read_whole_file(file.location, file.bytes, reason)) return unreadable(file, reason);
  file.state = ConfigFile::State::kRead;
  return file;
}

}  // namespace

std::string full_path(const char* path) {
  std::string native = path;
  for (char& c : native) c = c == '\\' || c == '/' ? kSeparator : c;
  return absolute(native);
}

std::string lowercase(std::string name) {
  for (char& c : name) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return name;
}

bool is_module_file_name(const std::string& name) { return lowercase(name) == "holsterkeys.ini"; }

std::string file_name(const std::string& location) {
  const std::size_t cut = location.find_last_of(kSeparators);
  return cut == std::string::npos ? location : location.substr(cut + 1);
}

std::string folder_of(const std::string& location) {
  const std::size_t cut = location.find_last_of(kSeparators);
  return cut == std::string::npos ? "." : location.substr(0, cut);
}

std::string config_in(const std::string& location) {
  std::string ignored;
  if (path_kind(location, ignored) != PathKind::kFolder ||
      is_module_file_name(file_name(location))) {
    return location;
  }
  const bool ends_in_separator = !location.empty() && location.back() == kSeparator;
  return location + (ends_in_separator ? "" : std::string(1, kSeparator)) + "holsterkeys.ini";
}

std::string near_miss(const std::string& name) {
  if (hides_extension(name)) {
    return "Windows hides known file extensions, so File Explorer may show it as "
           "\"holsterkeys\" or \"holsterkeys.ini\".";
  }
  if (name.ends_with(' ') || name.ends_with('.')) {
    return std::string("Its name ends with ") + (name.ends_with(' ') ? "a blank" : "a dot") +
           ", which is easy to miss.";
  }
  return "Its name differs from holsterkeys.ini.";
}

ConfigFile inspect_config(const std::string& location) {
  ConfigFile file;
  file.location = location;
  std::string reason;
  switch (path_kind(location, reason)) {
    case PathKind::kMissing:
      return missing(file);
    case PathKind::kFolder:
      file.state = ConfigFile::State::kFolder;
      return file;
    case PathKind::kError:
      return unreadable(file, reason);
    case PathKind::kFile:
      break;
  }
  return open_and_read(file);
}

}  // namespace holsterkeys
