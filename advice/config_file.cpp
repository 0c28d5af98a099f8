// Reading the configuration the way a player's system does, so that a file
// that is there but cannot be read is told apart from a missing one.
#include "advice/config_file.h"

#include "advice/loose_names.h"

#include <vector>

// The file system through the platform's own calls: <filesystem> would
// triple the size of the programs that ship.
#ifdef _WIN32
#include <windows.h>
constexpr char kSeparators[] = "\\/";
constexpr char kSeparator = '\\';
#else
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
constexpr char kSeparators[] = "/";
constexpr char kSeparator = '/';
#endif

namespace holsterkeys {
namespace {

enum class PathKind { kMissing, kFile, kFolder, kError };
PathKind path_kind(const std::string& path, std::string& reason);
std::vector<std::string> file_names_in(const std::string& folder);

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

#ifdef _WIN32

std::string system_message(DWORD error) {
  char text[512];
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, error, 0, text, sizeof text, nullptr);
  std::string message(text, length);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
  return message.empty() ? "Windows error " + std::to_string(error) : message;
}

std::string reason_for(DWORD error) {
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
    return "another program has it open and locked (often an editor, a backup or a sync tool). "
           "Close that program, then run the checker again.";
  }
  if (error == ERROR_ACCESS_DENIED) {
    return "you have no permission to read it. Run the checker as administrator, or give your "
           "account read access in the file's Properties, Security tab.";
  }
  return system_message(error);
}

// In large pieces: each read is a call into the system, and under Wine a
// costly one.
bool read_all(HANDLE handle, std::string& bytes) {
  LARGE_INTEGER size;
  if (GetFileSizeEx(handle, &size)) bytes.reserve(static_cast<std::size_t>(size.QuadPart));
  std::string chunk(1 << 20, '\0');
  for (DWORD got;; bytes.append(chunk.data(), got)) {
    if (!ReadFile(handle, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr)) {
      return false;
    }
    if (got == 0) return true;
  }
}

PathKind path_kind(const std::string& path, std::string& reason) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? PathKind::kFolder : PathKind::kFile;
  }
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return PathKind::kMissing;
  reason = reason_for(error);
  return PathKind::kError;
}

std::vector<std::string> file_names_in(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(entry.cFileName);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return names;
}

std::string absolute(const std::string& path) {
  char full[MAX_PATH];
  const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  return length == 0 || length >= sizeof full ? path : std::string(full, length);
}

ConfigFile open_and_read(ConfigFile file) {
  HANDLE handle = CreateFileA(file.location.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return unreadable(file, reason_for(GetLastError()));
  const bool read = read_all(handle, file.bytes);
  const DWORD error = GetLastError();
  CloseHandle(handle);
  if (!read) return unreadable(file, reason_for(error));
  file.state = ConfigFile::State::kRead;
  return file;
}

#else

std::string reason_for(int error) {
  if (error == EACCES || error == EPERM) {
    return "you have no permission to read it. Give your account read access to it.";
  }
  return std::strerror(error);
}

PathKind path_kind(const std::string& path, std::string& reason) {
  struct stat status;
  if (stat(path.c_str(), &status) == 0)
    return S_ISDIR(status.st_mode) ? PathKind::kFolder : PathKind::kFile;
  if (errno == ENOENT || errno == ENOTDIR) return PathKind::kMissing;
  reason = reason_for(errno);
  return PathKind::kError;
}

std::vector<std::string> file_names_in(const std::string& folder) {
  std::vector<std::string> names;
  DIR* listing = opendir(folder.c_str());
  if (listing == nullptr) return names;
  std::string ignored;
  for (const dirent* entry; (entry = readdir(listing)) != nullptr;) {
    if (path_kind(folder + "/" + entry->d_name, ignored) == PathKind::kFile) {
      names.push_back(entry->d_name);
    }
  }
  closedir(listing);
  return names;
}

// The path from the root, with "." and ".." taken out as written.
std::string absolute(const std::string& path) {
  std::string start = path;
  if (!path.starts_with('/')) {
    char folder[4096];
    if (getcwd(folder, sizeof folder) == nullptr) return path;
    start = std::string(folder) + "/" + path;
  }
  std::vector<std::string> parts;
  for (std::size_t at = 0; at <= start.size();) {
    const std::size_t end = std::min(start.find('/', at), start.size());
    const std::string part = start.substr(at, end - at);
    if (part == ".." && !parts.empty()) {
      parts.pop_back();
    } else if (!part.empty() && part != "." && part != "..") {
      parts.push_back(part);
    }
    at = end + 1;
  }
  std::string result;
  for (const std::string& part : parts) result += "/" + part;
  return result.empty() ? "/" : result;
}

ConfigFile open_and_read(ConfigFile file) {
  std::FILE* stream = std::fopen(file.location.c_str(), "rb");
  if (stream == nullptr) return unreadable(file, reason_for(errno));
  char chunk[4096];
  for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, stream)) > 0;) {
    file.bytes.append(chunk, got);
  }
  const int error = std::ferror(stream) ? errno : 0;
  std::fclose(stream);
  if (error != 0) return unreadable(file, reason_for(error));
  file.state = ConfigFile::State::kRead;
  return file;
}

#endif

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
