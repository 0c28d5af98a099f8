// Reading the configuration the way a player's system does, so that a file
// that is there but cannot be read is told apart from a missing one.
#include "tools/check/config_file.h"

#include "tools/check/loose_names.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <cstring>
#endif

namespace holsterkeys {
namespace {

namespace fs = std::filesystem;

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
  std::error_code error;
  fs::directory_iterator entry(fs::path(location).parent_path(), error);
  for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    if (looks_meant(name) && entry->is_regular_file(error)) return name;
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

bool read_all(HANDLE handle, std::string& bytes) {
  char chunk[4096];
  for (DWORD got;; bytes.append(chunk, got)) {
    if (!ReadFile(handle, chunk, sizeof chunk, &got, nullptr)) return false;
    if (got == 0) return true;
  }
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
#ifndef _WIN32
  for (char& c : native) c = c == '\\' ? '/' : c;
#endif
  std::error_code error;
  const fs::path absolute = fs::absolute(native, error);
  return error ? native : absolute.lexically_normal().string();
}

std::string lowercase(std::string name) {
  for (char& c : name) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return name;
}

bool is_module_file_name(const std::string& name) { return lowercase(name) == "holsterkeys.ini"; }

std::string file_name(const std::string& location) {
  return fs::path(location).filename().string();
}

std::string folder_of(const std::string& location) {
  const std::size_t cut = location.find_last_of("\\/");
  return cut == std::string::npos ? "." : location.substr(0, cut);
}

std::string config_in(const std::string& location) {
  std::error_code error;
  if (!fs::is_directory(location, error) || is_module_file_name(file_name(location))) {
    return location;
  }
  return (fs::path(location) / "holsterkeys.ini").string();
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
  std::error_code error;
  const fs::file_status status = fs::status(location, error);
  if (status.type() == fs::file_type::not_found) return missing(file);
  if (status.type() == fs::file_type::directory) {
    file.state = ConfigFile::State::kFolder;
    return file;
  }
  if (error) return unreadable(file, error.message());
  return open_and_read(file);
}

}  // namespace holsterkeys
