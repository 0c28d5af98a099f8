// The file system on Windows, and under Wine.
#include <windows.h>

#include <algorithm>
#include <iterator>
#include <string_view>

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
// costly one. A piece is no larger than the file needs, since making it
// costs too; a file that gives no size (Linux's /proc, under Wine) is read
// in pieces of 64 KiB.
bool read_all(HANDLE handle, std::string& bytes) {
  LARGE_INTEGER size;
  const bool sized = GetFileSizeEx(handle, &size) && size.QuadPart > 0;
  if (sized) bytes.reserve(static_cast<std::size_t>(size.QuadPart));
  const std::size_t piece =
      sized ? static_cast<std::size_t>(std::min<LONGLONG>(size.QuadPart + 1, 1 << 20)) : 1 << 16;
  std::string chunk(piece, '\0');
  for (DWORD got;; bytes.append(chunk.data(), got)) {
    if (!ReadFile(handle, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr)) {
      return false;
    }
    if (got == 0) return true;
  }
}

// Wine's own calls, which exist only under Wine: ntdll's wine_get_version
// says that Wine runs this program, and kernel32 turns DOS paths into Linux
// paths and back. Both give memory of the process heap.
using ToLinuxPath = char*(CDECL*)(LPCWSTR);
using ToDosPath = WCHAR*(CDECL*)(LPCSTR);

bool under_wine() {
  static const bool wine =
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

template <class Call>
Call wine_call(const char* name) {
  if (!under_wine()) return nullptr;
  return reinterpret_cast<Call>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

// The text in the ANSI code page that the programs' paths are in; empty
// where a character of it has no place there.
std::string ansi(const wchar_t* text) {
  BOOL lost = FALSE;
  const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, &lost);
  if (size <= 0 || lost) return {};
  std::string result(static_cast<std::size_t>(size - 1), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, result.data(), size, nullptr, nullptr);
  return result;
}

// A file time counts 100 ns from 1601.
std::int64_t unix_seconds(const FILETIME& time) {
  const std::uint64_t ticks = (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
  return static_cast<std::int64_t>(ticks / 10'000'000) - 11'644'473'600;
}

// Opens a file to read it, whoever else has it open.
HANDLE open_to_read(const std::string& path) {
  return CreateFileA(path.c_str(), GENERIC_READ,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
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
  HANDLE handle = open_to_read(path);
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

bool read_file_at(const std::string& path, std::uint64_t offset, std::size_t size,
                  std::string& bytes, FileFailure& failure) {
  HANDLE handle = open_to_read(path);
  if (handle == INVALID_HANDLE_VALUE) {
    failure = failure_of(GetLastError());
    return false;
  }
  std::string read(size, '\0');
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD got = 0;
  const bool read_any = ReadFile(handle, read.data(), static_cast<DWORD>(size), &got, &at);
  // A read that ends early sets no error of its own.
  const DWORD error = read_any ? ERROR_HANDLE_EOF : GetLastError();
  CloseHandle(handle);
  if (!read_any || got != size) {
    failure = failure_of(error);
    return false;
  }
  bytes += read;
  return true;
}

std::string final_path(const std::string& path) {
  HANDLE handle =
      CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return {};
  wchar_t name[MAX_PATH + 8];
  const DWORD length = GetFinalPathNameByHandleW(handle, name, std::size(name), 0);
  CloseHandle(handle);
  if (length == 0 || length >= std::size(name)) return {};
  // "\\?\C:\Games" names C:\Games.
  const std::wstring_view local = L"\\\\?\\";
  const std::wstring_view found(name, length);
  const bool drive = found.starts_with(local) && found.size() > local.size() + 1 &&
                     found[local.size() + 1] == L':';
  return ansi(drive ? name + local.size() : name);
}

std::string reach_linux(const std::string& linux_path) {
  const auto to_dos = wine_call<ToDosPath>("wine_get_dos_file_name");
  if (to_dos == nullptr) return {};
  WCHAR* dos = to_dos(linux_path.c_str());
  if (dos == nullptr) return {};
  std::string reached = ansi(dos);
  HeapFree(GetProcessHeap(), 0, dos);
  return reached;
}

std::string linux_path_of(const std::string& path) {
  const auto to_linux = wine_call<ToLinuxPath>("wine_get_unix_file_name");
  if (to_linux == nullptr) return {};
  const int size = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 1), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), size);
  char* linux_path = to_linux(wide.c_str());
  if (linux_path == nullptr) return {};
  std::string result = linux_path;
  HeapFree(GetProcessHeap(), 0, linux_path);
  return result;
}

}  // namespace holsterkeys
