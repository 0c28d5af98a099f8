// holsterkeys-check --bind: the next key pressed becomes a category's
// binding. The player's file changes in that one value only, and is
// replaced in one step, so that the module never reads it half-written.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bindings/category_names.h"
#include "bindings/profile_edit.h"
#include "module/windows_profile_file.h"
#include "selector/selection_cycle.h"
#include "tools/check/config_file.h"
#include "tools/check/diagnosis.h"
#include "tools/check/file_check.h"
#include "tools/check/key_watch.h"
#include "tools/check/live.h"
#include "tools/keys/key_names.h"

namespace holsterkeys {
namespace {

constexpr KeyCode kEsc = 0x1B;
constexpr KeyCode kBackspace = 0x08;
constexpr char kNewFile[] =
    "; holsterkeys: the key code of each weapon category. Check it with holsterkeys-check.\r\n";

std::string write_reason(DWORD error, const std::string& location) {
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
    return "another program has it open and locked. Close that program, then try again.";
  }
  if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT) {
    return "the folder " + folder_of(location) +
           " is protected, as Program Files is. Run holsterkeys-check as administrator, or move "
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

// A new file beside the old one takes its place in one step, with its
// attributes; why that failed, or nothing.
std::string replace_file(const std::string& location, const std::string& bytes) {
  const DWORD attributes = GetFileAttributesA(location.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & FILE_ATTRIBUTE_READONLY)) {
    return "the file is read-only. Clear Read-only in its Properties, then try again.";
  }
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

// The bytes to edit, or why this file must not be edited.
std::string bytes_to_edit(const std::string& location, std::string& bytes) {
  const ConfigFile file = inspect_config(location);
  if (file.state == ConfigFile::State::kFolder) return "it is a folder, not a file.";
  if (file.state == ConfigFile::State::kUnreadable) return "it cannot be read: " + file.reason;
  bytes = file.state == ConfigFile::State::kRead ? file.bytes : kNewFile;
  if (bytes.starts_with("\xFE\xFF") || readers_disagree(bytes)) {
    return "Windows and Wine read its encoding differently. Save it as ANSI first (in Notepad: "
           "File > Save As, Encoding: ANSI).";
  }
  return {};
}

// A key on two categories fires both, and the later row wins.
void print_shared_key(const Category& bound, KeyCode code, const std::string& location) {
  const WindowsProfileFile config(location.c_str());
  const KeyCodes codes = read_key_codes(config);
  std::vector<std::string_view> others;
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    if (codes[row] == code && &kCategories[row] != &bound) others.push_back(kCategories[row].name);
  }
  const auto slot =
      cycle_outcome(config, [code](KeyCode pressed) { return pressed == code ? 0x8000 : 0; });
  if (others.empty() || !slot) return;
  std::printf(
      "%s is also the key of %s: when it is pressed, both fire and %s wins, being later "
      "in the order %s.\n",
      key_name(code).c_str(), joined(others).c_str(), category_with_slot(*slot)->name,
      category_names(", ").c_str());
}

bool write_binding(const std::string& location, const Category& category, KeyCode code) {
  std::string bytes;
  std::string reason = bytes_to_edit(location, bytes);
  if (reason.empty())
    reason = replace_file(location, with_binding(bytes, category, hex_code(code)));
  if (!reason.empty()) {
    std::printf("Cannot write %s: %s It is left as it was.\n", location.c_str(), reason.c_str());
    return false;
  }
  std::printf("Wrote %s=%s (%s) into %s.\n", category.name, hex_code(code).c_str(),
              key_name(code).c_str(), location.c_str());
  print_shared_key(category, code, location);
  return true;
}

enum class Outcome { kBound, kSkipped, kStopped, kFailed };

Outcome bind_one(KeyWatch& watch, const Category& category, const std::string& location,
                 bool walking, const volatile bool& stop) {
  std::printf("Press the key for %s (slot %d)%s, or Esc to %s.%s\n", category.name,
              static_cast<int>(category.slot), walking ? "; Backspace skips it" : "",
              walking ? "stop" : "cancel", where_keys_arrive().c_str());
  std::fflush(stdout);
  for (;;) {
    const std::vector<KeyCode> pressed = watch.next_presses(stop);
    if (pressed.empty() || pressed.front() == kEsc) return Outcome::kStopped;
    const KeyCode code = pressed.front();
    if (walking && code == kBackspace) return Outcome::kSkipped;
    if (const std::string danger = fire_or_aim(code, category); !danger.empty()) {
      std::printf("Not %s: %s. Press another key.\n", key_in_words(code).c_str(), danger.c_str());
      std::fflush(stdout);
      continue;
    }
    return write_binding(location, category, code) ? Outcome::kBound : Outcome::kFailed;
  }
}

}  // namespace

int bind_by_pressing(const Category* category, const std::string& location) {
  static volatile bool stop = false;
  stop_on_ctrl_c(stop);
  KeyWatch watch;
  const std::vector<const Category*> order =
      category != nullptr ? std::vector<const Category*>{category} : categories_by_slot();
  bool wrote = false;
  for (const Category* next : order) {
    const Outcome outcome = bind_one(watch, *next, location, category == nullptr, stop);
    if (outcome == Outcome::kFailed) return 1;
    if (outcome == Outcome::kStopped) break;
    if (outcome == Outcome::kSkipped) std::printf("%s skipped.\n", next->name);
    wrote |= outcome == Outcome::kBound;
  }
  if (!wrote) {
    std::printf("Nothing was written; %s is as it was.\n", location.c_str());
    return 0;
  }
  // The bindings asked for are written, which is success; the rest of the
  // file's findings are shown for what they are.
  std::printf("\n");
  check_file(location.c_str(), false);
  return 0;
}

}  // namespace holsterkeys
