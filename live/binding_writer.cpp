// Writing one binding into the player's file, for --bind and the setup
// window alike: the file changes in that one value only, and is replaced
// in one step, so that the module never reads it half-written.
#include "live/binding_writer.h"

#include <windows.h>

#include "advice/config_file.h"
#include "advice/diagnosis.h"
#include "bindings/profile_edit.h"
#include "bindings/profile_file.h"
#include "keys/player_text.h"
#include "text/say.h"

namespace holsterkeys {
namespace {

// The first line of a file the writer makes, as a remark in it: English,
// like the names and codes under it.
constexpr char kNewFile[] =
    "; holsterkeys: the key code of each weapon category. Check it with holsterkeys-check.\r\n";

// Errors that mean another program holds the file open; Windows names the
// last when a replacement fails on it.
bool held_elsewhere(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

using Problem = WriteRefusal::Problem;

WriteRefusal refusal_for(DWORD error, const std::string& location) {
  if (held_elsewhere(error)) return {Problem::kLocked};
  if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT) {
    return {Problem::kProtectedFolder, {}, folder_of(location)};
  }
  return {Problem::kOther, {}, {}, error};
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
std::optional<WriteRefusal> held_refusal(const std::string& location) {
  HANDLE file =
      CreateFileA(location.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return std::nullopt;
  }
  const DWORD error = GetLastError();
  if (!held_elsewhere(error)) return std::nullopt;
  return refusal_for(error, location);
}

// A new file beside the old one takes its place in one step, with its
// attributes; why that failed, or nothing.
std::optional<WriteRefusal> replace_file(const std::string& location, const std::string& bytes) {
  const DWORD attributes = GetFileAttributesA(location.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & FILE_ATTRIBUTE_READONLY)) return WriteRefusal{Problem::kReadOnly};
  if (exists) {
    if (auto held = held_refusal(location)) return held;
  }
  char temporary[MAX_PATH];
  if (!GetTempFileNameA(folder_of(location).c_str(), "hk", 0, temporary)) {
    return refusal_for(GetLastError(), location);
  }
  const BOOL replaced = write_whole(temporary, bytes) &&
                        (exists ? ReplaceFileA(location.c_str(), temporary, nullptr,
                                               REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                                : MoveFileExA(temporary, location.c_str(), MOVEFILE_WRITE_THROUGH));
  const DWORD error = GetLastError();
  if (!replaced) {
    DeleteFileA(temporary);
    return refusal_for(error, location);
  }
  if (exists) SetFileAttributesA(location.c_str(), attributes);
  return std::nullopt;
}

// The bytes to edit, or why this file must not be edited: among others,
// that it is no longer what the player was shown.
std::optional<WriteRefusal> bytes_to_edit(const std::string& location,
                                          const std::optional<std::string>& shown,
                                          std::string& bytes) {
  const ConfigFile file = inspect_config(location);
  const std::string now = file.state == ConfigFile::State::kRead ? file.bytes : std::string();
  if (shown && *shown != now) return WriteRefusal{Problem::kChangedSinceShown};
  if (file.state == ConfigFile::State::kFolder) return WriteRefusal{Problem::kFolder};
  if (file.state == ConfigFile::State::kUnreadable) {
    return WriteRefusal{Problem::kUnreadable, file.failure};
  }
  bytes = file.state == ConfigFile::State::kRead ? file.bytes : kNewFile;
  if (bytes.starts_with("\xFE\xFF") || readers_disagree(bytes)) {
    return WriteRefusal{Problem::kEncodingReadApart};
  }
  return std::nullopt;
}

std::string unreadable_reason(const FileFailure& failure) {
  switch (failure.problem) {
    case FileProblem::kLocked:
      return say(
          "It cannot be read: another program has it open and locked. Close that program, "
          "then try again.");
    case FileProblem::kNoPermission:
      return say(
          "It cannot be read: you have no permission to read it. Run this program as "
          "administrator, or give your account read access in the file's Properties, "
          "Security tab.");
    case FileProblem::kOther:
      break;
  }
  return say("It cannot be read: {reason}", reason(failure.message));
}

}  // namespace

std::optional<WriteRefusal> write_value(const std::string& location, const Category& category,
                                        const std::string& value,
                                        const std::optional<std::string>& shown) {
  std::string bytes;
  if (auto refused = bytes_to_edit(location, shown, bytes)) return refused;
  return replace_file(location, with_binding(bytes, category, value));
}

namespace {

// Why, as a whole sentence that says what to do.
std::string reason_of(const WriteRefusal& refusal) {
  switch (refusal.problem) {
    case Problem::kChangedSinceShown:
      return say("It changed since it was shown. Look at it again, then try again.");
    case Problem::kFolder:
      return say("It is a folder, not a file.");
    case Problem::kUnreadable:
      return unreadable_reason(refusal.unreadable);
    case Problem::kEncodingReadApart:
      return say(
          "Windows and Wine read its encoding differently. Save it as ANSI (in Notepad: "
          "File > Save As, Encoding: ANSI) first.");
    case Problem::kReadOnly:
      return say("The file is read-only. Clear Read-only in its Properties, then try again.");
    case Problem::kLocked:
      return say("Another program has it open and locked. Close that program, then try again.");
    case Problem::kProtectedFolder:
      return say(
          "The folder {folder} is protected, as Program Files is. Run this program as "
          "administrator, or move the game out of Program Files.",
          folder(as_utf8(refusal.folder)));
    case Problem::kOther:
      break;
  }
  return say("Windows error {number}.", number(static_cast<long long>(refusal.error)));
}

}  // namespace

std::string refusal_text(const std::string& location, const WriteRefusal& refusal) {
  return say("Cannot write {path}: {reason} It is left as it was.", path(as_utf8(location)),
             reason(reason_of(refusal)));
}

}  // namespace holsterkeys
