// The running programs that have the module loaded, found by reading other
// processes, never writing to them: for --running and the setup window.
#include "live/running_games.h"

#include <windows.h>

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdint>

#include "advice/config_file.h"
#include "keys/player_text.h"
#include "selector/selection_cycle.h"

namespace holsterkeys {
namespace {

std::vector<DWORD> process_ids() {
  std::vector<DWORD> ids(1024);
  DWORD bytes = 0;
  while (EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), &bytes) &&
         bytes == ids.size() * sizeof(DWORD)) {
    ids.resize(ids.size() * 2);
  }
  ids.resize(bytes / sizeof(DWORD));
  return ids;
}

// A 64-bit process cannot hold this 32-bit module.
bool is_64_bit(HANDLE process) {
  BOOL self_on_64_bit = FALSE, target_32_bit = FALSE;
  IsWow64Process(GetCurrentProcess(), &self_on_64_bit);
  return self_on_64_bit && IsWow64Process(process, &target_32_bit) && !target_32_bit;
}

// Looks for a module whose file name begins with "holsterkeys" (module
// loaders may want it renamed with another extension) among the modules
// that `seen` has not looked at yet. The program's own image, the first
// module, does not count.
void look_for_module(HANDLE process, ModulesSeen& seen) {
  HMODULE modules[1024];
  DWORD bytes = 0;
  if (!EnumProcessModulesEx(process, modules, sizeof modules, &bytes, LIST_MODULES_ALL)) return;
  const std::size_t count = std::min<std::size_t>(bytes / sizeof(HMODULE), std::size(modules));
  const auto base_of = [&](std::size_t i) { return reinterpret_cast<std::uintptr_t>(modules[i]); };
  // Where a module looked at is gone, another may stand at its address now.
  std::vector<std::uintptr_t> now(count);
  for (std::size_t i = 0; i < count; ++i) now[i] = base_of(i);
  std::sort(now.begin(), now.end());
  if (!std::includes(now.begin(), now.end(), seen.others.begin(), seen.others.end())) {
    seen.others.clear();
  }
  std::vector<std::uintptr_t> others;
  for (std::size_t i = 1; i < count; ++i) {
    const std::uintptr_t base = base_of(i);
    if (std::binary_search(seen.others.begin(), seen.others.end(), base)) {
      others.push_back(base);
      continue;
    }
    char path[MAX_PATH];
    // A name that cannot be read now is read at the next look.
    if (GetModuleFileNameExA(process, modules[i], path, sizeof path) == 0) continue;
    if (is_module_file(path)) {
      seen.module = path;
      return;
    }
    others.push_back(base);
  }
  std::sort(others.begin(), others.end());
  seen.others = std::move(others);
}

std::string program_path(HANDLE process) {
  char path[MAX_PATH];
  DWORD size = sizeof path;
  return QueryFullProcessImageNameA(process, 0, path, &size) ? path : "";
}

template <class T>
bool read_at(HANDLE process, std::uintptr_t address, T& value) {
  SIZE_T read = 0;
  return ReadProcessMemory(process, reinterpret_cast<LPCVOID>(address), &value, sizeof value,
                           &read) &&
         read == sizeof value;
}

std::optional<std::int32_t> slot_value(HANDLE process) {
  std::int32_t value = 0;
  if (!read_at(process, kSlotAddress, value)) return std::nullopt;
  return value;
}

// Where a process of this program's width keeps its current folder: the
// offset of PEB.ProcessParameters, and in the parameters those of the
// length and the buffer of CurrentDirectory.DosPath, a counted string.
struct ParameterLayout {
  std::uintptr_t parameters, length, buffer;
};
constexpr ParameterLayout kLayout =
    sizeof(void*) == 8 ? ParameterLayout{0x20, 0x38, 0x40} : ParameterLayout{0x10, 0x24, 0x28};

// The process's current folder, from its process parameters: the folder
// where the module resolves .\holsterkeys.ini.
std::optional<std::wstring> current_folder(HANDLE process) {
  PROCESS_BASIC_INFORMATION basic{};
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) !=
      0) {
    return std::nullopt;
  }
  std::uintptr_t parameters = 0, buffer = 0;
  std::uint16_t length = 0;
  const auto peb = reinterpret_cast<std::uintptr_t>(basic.PebBaseAddress);
  if (!read_at(process, peb + kLayout.parameters, parameters) ||
      !read_at(process, parameters + kLayout.length, length) ||
      !read_at(process, parameters + kLayout.buffer, buffer)) {
    return std::nullopt;
  }
  std::wstring folder(length / sizeof(wchar_t), L'\0');
  SIZE_T read = 0;
  if (!ReadProcessMemory(process, reinterpret_cast<LPCVOID>(buffer), folder.data(), length,
                         &read) ||
      read != length) {
    return std::nullopt;
  }
  return folder;
}

std::string narrow(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, result.data(), size, nullptr, nullptr);
  return result;
}

// A program this checker may not look into, when it may be a game: one
// whose path can be read, outside the Windows folder, and not 64-bit.
std::optional<DeniedProgram> denied_program(DWORD id) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  if (process == nullptr) return std::nullopt;
  const std::string path = program_path(process);
  const bool is_64 = is_64_bit(process);
  CloseHandle(process);
  char windows[MAX_PATH];
  const UINT length = GetWindowsDirectoryA(windows, sizeof windows);
  if (is_64 || lowercase(path).starts_with(lowercase(std::string(windows, length))))
    return std::nullopt;
  return DeniedProgram{id, path};
}

// A program with the module loaded, or nothing.
ULONGLONG started_at(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return (ULARGE_INTEGER{{created.dwLowDateTime, created.dwHighDateTime}}.QuadPart) / 10000;
}

bool has_settled(ULONGLONG started) {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return ULARGE_INTEGER{{now.dwLowDateTime, now.dwHighDateTime}}.QuadPart / 10000 >
         started + kSettledMs;
}

// The module in a process: a process is known by its id and its start, so
// that a reused id is not, and looked at until it has the module or has
// settled without it.
std::string module_remembered(DWORD id, HANDLE process, SurveyMemory& memory, SurveyMemory& seen) {
  const ULONGLONG started = started_at(process);
  const auto known = memory.modules.find({id, started});
  ModulesSeen modules = known != memory.modules.end() ? known->second : ModulesSeen{};
  if (modules.module.empty() && !modules.settled) {
    const bool is_64 = is_64_bit(process);
    modules.settled = is_64 || has_settled(started);
    if (!is_64) look_for_module(process, modules);
    // A settled program is not looked at again.
    if (modules.settled) modules.others = {};
  }
  return (seen.modules[{id, started}] = std::move(modules)).module;
}

std::optional<RunningGame> game_in(DWORD id, HANDLE process, SurveyMemory& memory,
                                   SurveyMemory& seen) {
  const std::string module = module_remembered(id, process, memory, seen);
  if (module.empty()) return std::nullopt;
  const std::optional<std::wstring> folder = current_folder(process);
  return RunningGame{id, program_path(process), module, slot_value(process),
                     folder ? std::optional(narrow(*folder)) : std::nullopt};
}

// A game of another Wine prefix, with what Linux says of it.
RunningGame game_elsewhere(LinuxGame game) {
  OtherPrefix elsewhere{std::move(game.where.prefix),
                        std::move(game.where.app_id),
                        game.where.steam,
                        std::move(game.folder_here),
                        game.config_there,
                        game.slot_hidden};
  return RunningGame{game.pid,  std::move(game.program), std::move(game.module),
                     game.slot, std::move(game.folder),  std::move(elsewhere)};
}

}  // namespace

RunningSurvey survey_running() {
  SurveyMemory fresh;
  return survey_running(fresh);
}

RunningSurvey survey_running(SurveyMemory& memory) {
  RunningSurvey survey;
  SurveyMemory seen;
  for (DWORD id : process_ids()) {
    if (id == 0 || id == GetCurrentProcessId()) continue;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
    if (process == nullptr) {
      if (GetLastError() != ERROR_ACCESS_DENIED) continue;
      if (const auto program = denied_program(id)) survey.denied.push_back(*program);
      continue;
    }
    if (auto game = game_in(id, process, memory, seen)) survey.games.push_back(std::move(*game));
    CloseHandle(process);
  }
  memory.modules = std::move(seen.modules);
  for (LinuxGame& game : survey_linux_games(platform_linux_files(), memory.linux_processes)) {
    survey.games.push_back(game_elsewhere(std::move(game)));
  }
  return survey;
}

}  // namespace holsterkeys
