// The file system on Windows, and under Wine.
#include <windows.h>

#include "files/file_system.h"

namespace holsterkeys {
namespace {

// Windows' own words for an error, in UTF-8; its number where it has none.
std::string system_message(DWORD error) {
  wchar_t text[512];
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, error, 0, text, 512, nullptr);
  char utf8[1536];
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), utf8,
                                       sizeof utf8, nullptr, nullptr);
  std::string message(utf8, size > 0 ? static_cast<std::size_t>(size) : 0);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
  return message.empty() ? std::to_string(error) : message;
}

FileFailure failure_of(DWORD error) {
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
    return {FileProblem::kLocked, {}};
  }
  if (error == ERROR_ACCESS_DENIED) return {FileProblem::kNoPermission, {}};
  return {FileProblem::kOther, system_message(error)};
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

// A file time counts 100 ns from 1601.
std::int64_t unix_seconds(const FILETIME& time) {
  const std::uint64_t ticks = (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
  return static_cast<std::int64_t>(ticks / 10'000'000) - 11'644'473'600;
}

}  // namespace

PathKind path_kind(const std::string& path, FileFailure& failure) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? PathKind::kFolder : PathKind::kFile;
  }
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return PathKind::kMissing;
  failure = failure_of(error);
  return PathKind::kError;
}

std::vector<FolderEntry> entries_in(const std::string& folder) {
  std::vector<FolderEntry> entries;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return entries;
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    entries.push_back({name, (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                       unix_seconds(entry.ftLastWriteTime)});
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return entries;
}

std::string absolute(const std::string& path) {
  char full[MAX_PATH];
  const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  return length == 0 || length >= sizeof full ? path : std::string(full, length);
}

bool read_whole_file(const std::string& path, std::string& bytes, FileFailure& failure) {
  HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    failure = failure_of(GetLastError());
    return false;
  }
  const bool read = read_all(handle, bytes);
  const DWORD error = GetLastError();
  CloseHandle(handle);
  if (!read) failure = failure_of(error);
  return read;
}

VirtualStore virtual_store() {
  VirtualStore store;
  for (const char* folder :
       {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432", "SystemRoot", "ProgramData"}) {
    char path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA(folder, path, sizeof path);
    if (length > 0 && length < sizeof path) store.protected_folders.emplace_back(path, length);
  }
  char local[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("LOCALAPPDATA", local, sizeof local);
  if (length > 0 && length < sizeof local)
    store.copies = std::string(local, length) + "\\VirtualStore";
  return store;
}

}  // namespace holsterkeys
