#include "tools/check/console.h"

#include <cstdio>

#include "text/say.h"

#ifdef _WIN32
#include <windows.h>

#include <tlhelp32.h>

#include "live/wide_text.h"
#endif

namespace holsterkeys {

#ifdef _WIN32

namespace {

DWORD parent_process_id(HANDLE snapshot) {
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (entry.th32ProcessID == GetCurrentProcessId()) return entry.th32ParentProcessID;
  }
  return 0;
}

// Explorer, for a double-click, is still running. Under Wine a program
// started from a Linux terminal has no Windows parent at all.
bool has_windows_parent() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  const DWORD parent = parent_process_id(snapshot);
  bool running = false;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    running |= parent != 0 && entry.th32ProcessID == parent;
  }
  CloseHandle(snapshot);
  return running;
}

}  // namespace

void keep_own_console_open() {
  DWORD processes[2], mode;
  if (GetConsoleProcessList(processes, 2) != 1) return;
  if (!GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode)) return;
  if (!GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode)) return;
  if (!has_windows_parent()) return;
  print_text("\n" + say("Press Enter to close."));
  std::getchar();
}

namespace {

void print_on(std::FILE* stream, DWORD handle, const std::string& utf8) {
  HANDLE out = GetStdHandle(handle);
  DWORD mode;
  if (!GetConsoleMode(out, &mode)) {
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    std::fflush(stream);
    return;
  }
  const std::wstring wide = widened(utf8);
  std::fflush(stream);
  DWORD written;
  WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}

}  // namespace

void print_text(const std::string& utf8) { print_on(stdout, STD_OUTPUT_HANDLE, utf8); }
void print_error_text(const std::string& utf8) { print_on(stderr, STD_ERROR_HANDLE, utf8); }

#else

void keep_own_console_open() {}

void print_text(const std::string& utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fflush(stdout);
}
void print_error_text(const std::string& utf8) { std::fwrite(utf8.data(), 1, utf8.size(), stderr); }

#endif

}  // namespace holsterkeys
