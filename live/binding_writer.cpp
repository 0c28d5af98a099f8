// Writing one binding into the player's file, for --bind and the setup
// window alike: the file changes in that one value only, and is replaced
// in one step, so that the module never reads it half-written.
#include "live/binding_writer.h"

#include <windows.h>

#include "advice/config_file.h"
#include "advice/diagnosis.h"
#include "advice/findings.h"
#include "bindings/profile_edit.h"

namespace holsterkeys {
namespace {

constexpr char kNewFile[] =
    "; holsterkeys: the key code of each weapon category. Check it with holsterkeys-check.\r\n";

// Errors that mean another program holds the file open; Windows names the
// last when a replacement fails on it.
bool held_elsewhere(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

std::string write_reason(DWORD error, const std::string& location) {
  if (held_elsewhere(error)) {
    return "another program has it open and locked. Close that program, then try again.";
  }
  if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT) {
    return "the folder " + folder_of(location) +
           " is protected, as Program Files is. Run this program as administrator, or move "
           "the game out of Program Files.";
  }
  return "Windows error " + std::to_string(error) + ".";
}

bool write_whole(const char* path, const std::string& bytes) {
  HANDLE file =
      CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL wrote =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size() && FlushFileBuffers(file);
  CloseHandle(file);
  return wrote;
}

// Why the file cannot be replaced while another program holds it open, or
// nothing. Asked before anything is written, since a replacement that fails
// on it halfway leaves, under Wine, a file of its own in the folder.
std::string held_reason(const std::string& location) {
  HANDLE file =
      CreateFileA(location.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return {};
  }
  const DWORD error = GetLastError();
  return held_elsewhere(error) ? write_reason(error, location) : std::string();
}

// A new file beside the old one takes its place in one step, with its
// attributes; why that failed, or nothing.
std::string replace_file(const std::string& location, const std::string& bytes) {
  const DWORD attributes = GetFileAttributesA(location.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & FILE_ATTRIBUTE_READONLY)) {
    return "the file is read-only. Clear Read-only in its Properties, then try again.";
  }
  if (std::string reason = exists ? held_reason(location) : ""; !reason.empty()) return reason;
  char temporary[MAX_PATH];
  if (!GetTempFileNameA(folder_of(location).c_str(), "hk", 0, temporary)) {
    return write_reason(GetLastError(), location);
  }
  const BOOL replaced = write_whole(temporary, bytes) &&
                        (exists ? ReplaceFileA(location.c_str(), temporary, nullptr,
                                               REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                                : MoveFileExA(temporary, location.c_str(), MOVEFILE_WRITE_THROUGH));
  const DWORD error = GetLastError();
  if (!replaced) {
    DeleteFileA(temporary);
    return write_reason(error, location);
  }
  if (exists) SetFileAttributesA(location.c_str(), attributes);
  return {};
}

// The bytes to edit, or why this file must not be edited: among others,
// that it is no longer what the player was shown.
std::string bytes_to_edit(const std::string& location, const std::optional<std::string>& shown,
                          std::string& bytes) {
  const ConfigFile file = inspect_config(location);
  const std::string now = file.state == ConfigFile::State::kRead ? file.bytes : std::string();
  if (shown && *shown != now) {
    return "it changed since it was shown. Look at it again, then try again.";
  }
  if (file.state == ConfigFile::State::kFolder) return "it is a folder, not a file.";
  if (file.state == ConfigFile::State::kUnreadable) return "it cannot be read: " + file.reason;
  bytes = file.state == ConfigFile::State::kRead ? file.bytes : kNewFile;
  if (bytes.starts_with("\xFE\xFF") || readers_disagree(bytes)) {
    return std::string("Windows and Wine read its encoding differently. Save it ") + kAsAnsi +
           " first.";
  }
  return {};
}

}  // namespace

std::string write_value(const std::string& location, const Category& category,
                        const std::string& value, const std::optional<std::string>& shown) {
  std::string bytes;
  std::string reason = bytes_to_edit(location, shown, bytes);
  if (reason.empty()) reason = replace_file(location, with_binding(bytes, category, value));
  return reason;
}

}  // namespace holsterkeys
