// The games that a program under Wine cannot find among Windows' processes:
// those that run in another Wine prefix, with a Wine server of its own, as
// Steam's Proton runs each game in a prefix of its own. Linux lists every
// process in /proc, which a Wine program reaches through a drive (Z:\proc):
// a process's maps names the files it has mapped, a loaded module with its
// Linux path; its environ holds the variables that say which prefix it runs
// in and whether Steam started it; its cwd leads to its current folder.
// Portable: natively the same code reads /proc itself.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/file_system.h"

namespace holsterkeys {

// A program started this long ago has had its module loaded by now, if it
// is to have it: a younger one is looked through again at the next survey.
inline constexpr unsigned kSettledMs = 30000;

// True for the module under any name a module loader wants: a file whose
// name begins with "holsterkeys", in any case, and that is not one of the
// module's programs (".exe").
bool is_module_file(const std::string& path);

// What a process's maps says of the files it has mapped.
struct MappedFiles {
  bool wine = false;    // Wine's ntdll is mapped: a process that Wine runs
  std::string module;   // the first mapped file that is the module, or empty
  std::string program;  // the first mapped program (".exe"), under Wine its own
};
MappedFiles mapped_files(std::string_view maps);

// Where a process runs, from its environment: NUL-separated VAR=value.
struct WineEnvironment {
  // Its Wine prefix, a Linux path: WINEPREFIX, else the prefix in Steam's
  // compatibility data (STEAM_COMPAT_DATA_PATH/pfx), else ~/.wine; empty
  // where none can be told.
  std::string prefix;
  std::string app_id;  // Steam's number of the game: SteamAppId, else SteamGameId
  bool steam = false;  // Steam started it through Proton (STEAM_COMPAT_DATA_PATH, a number)
  std::string pwd;     // the folder its shell was in (PWD)
};
WineEnvironment wine_environment(std::string_view environment);

// When a process started, in clock ticks since Linux started (the 22nd
// field of /proc/PID/stat), and its number (the first).
struct ProcessStart {
  unsigned long pid;
  std::uint64_t ticks;
};
std::optional<ProcessStart> process_start(std::string_view stat);

// Whole seconds since Linux started, from /proc/uptime.
std::optional<std::uint64_t> uptime_seconds(std::string_view uptime);

// How a survey reaches Linux's files: through the platform's file system
// (platform_linux_files()), or a test's stand-in. Every path but the one
// given to `reach` is the platform's own: "Z:\proc\7\maps" under Wine.
struct LinuxFiles {
  std::function<std::string(const std::string& linux_path)> reach;
  std::function<std::vector<FolderEntry>(const std::string& folder)> list;
  std::function<std::optional<std::string>(const std::string& path)> read;
  std::function<bool(const std::string& path, std::uint64_t offset, std::size_t size,
                     std::string& bytes, FileFailure& failure)>
      read_at;
  std::function<std::string(const std::string& path)> final_path;
  std::function<std::string(const std::string& path)> linux_path;
  std::function<bool(const std::string& path)> is_file;
};
LinuxFiles platform_linux_files();

// A game, a process with the module loaded, in another Wine prefix.
struct LinuxGame {
  unsigned long pid = 0;
  std::string program;                // its program's Linux path, or empty
  std::string module;                 // the module's Linux path
  WineEnvironment where;              // its prefix, and Steam's number of it
  std::optional<std::string> folder;  // its current folder, a Linux path
  std::string folder_here;            // the same as this program names it, or empty
  bool config_there = false;          // holsterkeys.ini is in that folder
  std::optional<std::int32_t> slot;   // its slot variable, when it can be read
  bool slot_hidden = false;           // Linux does not let this program read its memory
};

// What surveys learnt of Linux's processes, so that a window that surveys
// every few seconds reads only what is new. A process is known by its
// number and the time of its entry in /proc; where that time changes, as
// when Linux drops the entry from its cache and makes it again, by the
// start in its stat, so that a number used again is a new process. A
// process that appears after the first survey is looked at from
// the next one on, so that the many that live for a moment cost nothing;
// what its environ says is read once, its maps until it has the module or
// has settled without it, a game's current folder once. Only whether the
// game's folder holds holsterkeys.ini, and its slot, are read at every
// survey, its slot until Linux refuses it.
struct LinuxProcessMemory {
  struct Process {
    std::int64_t listed = 0;     // the time of its entry in /proc
    bool looked = false;         // its environ has been read
    bool done = false;           // nothing more to learn: no game in another prefix
    std::uint64_t started = 0;   // clock ticks since Linux started, or 0 where not read
    bool memory_denied = false;  // Linux does not let this program read its slot
    WineEnvironment where;
    std::optional<MappedFiles> game;  // its maps, once the module is among them
    // A game's current folder, as Linux and as this program name it: Wine
    // never changes a process's Linux folder after it starts.
    std::optional<std::string> folder;
    std::string folder_here;
  };
  std::map<unsigned long, Process> processes;  // by number
  bool surveyed = false;                       // a survey has listed the processes
  // This program's own, looked up by the first survey: /proc as it is
  // reached (empty where it cannot be), and the process that /proc/self
  // is, with its prefix. Under Wine that is the Wine server of this
  // program's prefix, which opens files for Wine's programs; natively, this
  // program.
  bool looked_up = false;
  std::string proc;
  unsigned long self = 0;
  std::string prefix;
  std::map<std::string, std::string> prefix_paths;  // each prefix as the system names it
};

// The games in Wine prefixes other than this program's; none on Windows,
// and none where /proc cannot be read. The processes of this program's own
// prefix are Windows' processes to it, and are left to Windows' survey.
std::vector<LinuxGame> survey_linux_games(const LinuxFiles& files, LinuxProcessMemory& memory);

}  // namespace holsterkeys
