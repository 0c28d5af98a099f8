#include "live/linux_processes.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "advice/config_file.h"
#include "bindings/host.h"
#include "keys/player_text.h"

namespace holsterkeys {
namespace {

// Linux counts a process's start in ticks of 1/100 s (USER_HZ) on every
// machine that runs Wine.
constexpr std::uint64_t kTicksPerSecond = 100;

bool is_number(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A number that names something: digits, not all of them 0.
bool is_nonzero_number(std::string_view text) {
  return is_number(text) && text.find_first_not_of('0') != std::string_view::npos;
}

std::string without_trailing_slashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string joined(const std::string& folder, const std::string& name) {
  return folder + kSeparator + name;
}

// The path that a line of maps names: whatever follows the address, the
// permissions, the offset, the device and the inode. A file deleted since
// it was mapped is marked so.
std::string_view mapped_path(std::string_view line) {
  std::size_t at = 0;
  for (int field = 0; field < 5; ++field) {
    at = line.find_first_not_of(' ', at);
    at = at == std::string_view::npos ? at : line.find(' ', at);
    if (at == std::string_view::npos) return {};
  }
  at = line.find_first_not_of(' ', at);
  if (at == std::string_view::npos || line[at] != '/') return {};
  std::string_view path = line.substr(at);
  if (path.ends_with(" (deleted)")) path.remove_suffix(std::strlen(" (deleted)"));
  return path;
}

// Wine's Unix side of ntdll, as Wine 6 and later name it and as earlier
// versions did.
bool is_wine_ntdll(const std::string& path) {
  const std::string name = file_name(path);
  return name == "ntdll.so" || name == "ntdll.dll.so";
}

// The value of each variable, the first where one is given twice.
std::map<std::string_view, std::string_view> variables(std::string_view environment) {
  std::map<std::string_view, std::string_view> values;
  for (std::size_t at = 0; at < environment.size();) {
    const std::size_t end = std::min(environment.find('\0', at), environment.size());
    const std::string_view assignment = environment.substr(at, end - at);
    const std::size_t equals = assignment.find('=');
    if (equals != std::string_view::npos) {
      values.emplace(assignment.substr(0, equals), assignment.substr(equals + 1));
    }
    at = end + 1;
  }
  return values;
}

// The fields of stat after the program's name, which may hold blanks and
// brackets of its own.
std::vector<std::string_view> fields_after_name(std::string_view stat) {
  std::vector<std::string_view> fields;
  const std::size_t name_end = stat.rfind(')');
  if (name_end == std::string_view::npos) return fields;
  for (std::size_t at = name_end + 1; at < stat.size();) {
    at = stat.find_first_not_of(" \n", at);
    if (at == std::string_view::npos) break;
    const std::size_t end = std::min(stat.find_first_of(" \n", at), stat.size());
    fields.push_back(stat.substr(at, end - at));
    at = end;
  }
  return fields;
}

std::optional<std::string> read_from(const LinuxFiles& files, const std::string& process,
                                     const char* name) {
  return files.read(joined(process, name));
}

// A prefix as the system names it, so that two paths to one prefix (through
// ~/.steam/steam, a link) are one; the path as written where it cannot be
// opened. Looked up once for each prefix.
const std::string& prefix_path(const LinuxFiles& files, LinuxProcessMemory& memory,
                               const std::string& prefix) {
  auto [known, added] = memory.prefix_paths.try_emplace(prefix);
  if (added) {
    const std::string reached = files.reach(prefix);
    const std::string final = reached.empty() ? std::string() : files.final_path(reached);
    known->second = final.empty() ? prefix : final;
  }
  return known->second;
}

// The process that reads /proc for this program, and its prefix, which is
// this program's; /proc stays unknown, and no survey looks at Linux's
// processes, where they cannot be read.
void look_up_self(const LinuxFiles& files, LinuxProcessMemory& memory) {
  memory.looked_up = true;
  const std::string proc = files.reach("/proc");
  if (proc.empty()) return;
  const std::string self = joined(proc, "self");
  const auto stat = read_from(files, self, "stat");
  const auto environment = read_from(files, self, "environ");
  if (!stat || !environment) return;
  const auto start = process_start(*stat);
  const WineEnvironment own = wine_environment(*environment);
  if (!start || own.prefix.empty()) return;
  memory.proc = proc;
  memory.self = start->pid;
  memory.prefix = prefix_path(files, memory, own.prefix);
}

using Process = LinuxProcessMemory::Process;

// What is learnt of a process once: which prefix it runs in and when it
// started. A process of this program's prefix, or one whose files this
// program may not read, is done with.
Process first_look(const LinuxFiles& files, LinuxProcessMemory& memory, const std::string& folder) {
  Process process;
  process.looked = true;
  process.done = true;
  const auto environment = read_from(files, folder, "environ");
  if (!environment) return process;
  process.where = wine_environment(*environment);
  if (process.where.prefix.empty() ||
      prefix_path(files, memory, process.where.prefix) == memory.prefix) {
    return process;
  }
  const auto stat = read_from(files, folder, "stat");
  const auto start = stat ? process_start(*stat) : std::nullopt;
  if (!start) return process;
  process.started = start->ticks;
  process.done = false;
  return process;
}

// Whether the process listed now with the entry time `listed` is the one
// known by its number: the same entry, or one made again for a process of
// the same start.
bool is_same_process(const LinuxFiles& files, const std::string& folder, std::int64_t listed,
                     const Process& known) {
  if (listed == known.listed) return true;
  if (known.started == 0) return false;
  const auto stat = read_from(files, folder, "stat");
  const auto start = stat ? process_start(*stat) : std::nullopt;
  return start && start->ticks == known.started;
}

// A game's current folder: the link to it followed, or where it cannot
// be, the folder its shell was in.
void look_up_folder(const LinuxFiles& files, const std::string& folder, Process& process) {
  std::string here = files.final_path(joined(folder, "cwd"));
  std::string shown = here.empty() ? std::string() : files.linux_path(here);
  if (here.empty() && !process.where.pwd.empty()) {
    shown = process.where.pwd;
    const std::string reached = files.reach(shown);
    here = reached.empty() ? std::string() : files.final_path(reached);
  }
  if (!shown.empty()) process.folder = shown;
  process.folder_here = here;
}

// Looks through the process's maps for the module, until the process has
// settled without it. `now`, seconds since Linux started, is read once a
// survey, when first asked for.
void look_for_module(const LinuxFiles& files, const LinuxProcessMemory& memory,
                     const std::string& folder, Process& process,
                     std::optional<std::uint64_t>& now) {
  const auto maps = read_from(files, folder, "maps");
  if (!maps) {
    process.done = true;
    return;
  }
  MappedFiles mapped = mapped_files(*maps);
  if (mapped.wine && !mapped.module.empty()) {
    process.game = std::move(mapped);
    look_up_folder(files, folder, process);
    return;
  }
  if (!now) {
    const auto uptime = read_from(files, memory.proc, "uptime");
    now = uptime ? uptime_seconds(*uptime) : std::nullopt;
    // Where the time cannot be told, every process has settled.
    if (!now) now = UINT64_MAX / kTicksPerSecond;
  }
  process.done = *now * kTicksPerSecond > process.started + kSettledMs / 1000 * kTicksPerSecond;
}

// The game as it is now: whether its folder holds its file, and its slot.
LinuxGame game_now(const LinuxFiles& files, const std::string& folder, unsigned long pid,
                   Process& process) {
  LinuxGame game;
  game.pid = pid;
  game.program = process.game->program;
  game.module = process.game->module;
  game.where = process.where;
  game.folder = process.folder;
  game.folder_here = process.folder_here;
  game.config_there =
      !game.folder_here.empty() && files.is_file(joined(game.folder_here, file_name(kConfigPath)));
  std::string bytes;
  FileFailure failure;
  // Each refusal may leave a line in the system's log: it is asked once.
  if (process.memory_denied) {
    game.slot_hidden = true;
  } else if (files.read_at(joined(folder, "mem"), kSlotAddress, sizeof(std::int32_t), bytes,
                           failure)) {
    std::int32_t slot;
    std::memcpy(&slot, bytes.data(), sizeof slot);
    game.slot = slot;
  } else {
    game.slot_hidden = process.memory_denied = failure.problem == FileProblem::kNoPermission;
  }
  return game;
}

}  // namespace

bool is_module_file(const std::string& path) {
  const std::string name = lowercase(file_name(path));
  return name.starts_with("holsterkeys") && !name.ends_with(".exe");
}

MappedFiles mapped_files(std::string_view maps) {
  MappedFiles mapped;
  for (std::size_t at = 0; at < maps.size();) {
    const std::size_t end = std::min(maps.find('\n', at), maps.size());
    const std::string path(mapped_path(maps.substr(at, end - at)));
    at = end + 1;
    if (path.empty()) continue;
    mapped.wine = mapped.wine || is_wine_ntdll(path);
    if (mapped.module.empty() && is_module_file(path)) mapped.module = path;
    if (mapped.program.empty() && lowercase(path).ends_with(".exe")) mapped.program = path;
  }
  return mapped;
}

WineEnvironment wine_environment(std::string_view environment) {
  const auto values = variables(environment);
  const auto value = [&](std::string_view name) {
    const auto found = values.find(name);
    return found == values.end() ? std::string() : std::string(found->second);
  };
  WineEnvironment where;
  const std::string compat_data = without_trailing_slashes(value("STEAM_COMPAT_DATA_PATH"));
  if (const std::string prefix = value("WINEPREFIX"); !prefix.empty()) {
    where.prefix = without_trailing_slashes(prefix);
  } else if (!compat_data.empty()) {
    where.prefix = compat_data + "/pfx";
  } else if (const std::string home = value("HOME"); !home.empty()) {
    where.prefix = without_trailing_slashes(home) + "/.wine";
  }
  // Steam keeps a game's compatibility data in a folder named by its number.
  for (const std::string& id :
       {value("SteamAppId"), file_name(compat_data), value("SteamGameId")}) {
    if (is_nonzero_number(id)) {
      where.app_id = id;
      break;
    }
  }
  // Launchers that run Proton outside Steam set its variables too, with
  // no number of Steam's: nothing of Steam's can start such a game.
  where.steam = !compat_data.empty() && !where.app_id.empty();
  where.pwd = value("PWD");
  return where;
}

std::optional<ProcessStart> process_start(std::string_view stat) {
  const std::vector<std::string_view> fields = fields_after_name(stat);
  const std::string_view pid = stat.substr(0, stat.find(' '));
  // The fields after the name start at the third, the state.
  if (fields.size() < 20 || !is_number(pid) || !is_number(fields[19])) return std::nullopt;
  return ProcessStart{std::strtoul(std::string(pid).c_str(), nullptr, 10),
                      std::strtoull(std::string(fields[19]).c_str(), nullptr, 10)};
}

std::optional<std::uint64_t> uptime_seconds(std::string_view uptime) {
  const std::string_view whole = uptime.substr(0, uptime.find_first_of(". "));
  if (!is_number(whole)) return std::nullopt;
  return std::strtoull(std::string(whole).c_str(), nullptr, 10);
}

LinuxFiles platform_linux_files() {
  return {
      reach_linux,
      entries_in,
      [](const std::string& path) -> std::optional<std::string> {
        std::string bytes;
        FileFailure failure;
        if (!read_whole_file(path, bytes, failure)) return std::nullopt;
        return bytes;
      },
      read_file_at,
      final_path,
      linux_path_of,
      [](const std::string& path) {
        FileFailure failure;
        return path_kind(path, failure) == PathKind::kFile;
      },
  };
}

std::vector<LinuxGame> survey_linux_games(const LinuxFiles& files, LinuxProcessMemory& memory) {
  if (!memory.looked_up) look_up_self(files, memory);
  if (memory.proc.empty()) return {};
  std::vector<LinuxGame> games;
  std::optional<std::uint64_t> now;
  decltype(memory.processes) seen;
  for (const FolderEntry& entry : files.list(memory.proc)) {
    if (!entry.folder || !is_number(entry.name)) continue;
    const unsigned long pid = std::strtoul(entry.name.c_str(), nullptr, 10);
    if (pid == memory.self) continue;
    const std::string folder = joined(memory.proc, entry.name);
    const auto known = memory.processes.find(pid);
    const bool same = known != memory.processes.end() &&
                      is_same_process(files, folder, entry.modified, known->second);
    Process process = same ? known->second : Process{};
    if (!process.looked && (same || !memory.surveyed)) process = first_look(files, memory, folder);
    process.listed = entry.modified;
    if (process.looked && !process.done && !process.game) {
      look_for_module(files, memory, folder, process, now);
    }
    if (process.game) games.push_back(game_now(files, folder, pid, process));
    seen.emplace(pid, std::move(process));
  }
  memory.processes = std::move(seen);
  memory.surveyed = true;
  return games;
}

}  // namespace holsterkeys
