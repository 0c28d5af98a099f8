#include "live/linux_processes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "live/prefix_lines.h"
#include "tests/case_name.h"

#ifdef __linux__
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/unit/scratch_folder.h"
#endif

namespace holsterkeys {
namespace {

// A line of maps for each path, as Linux writes them.
std::string maps_of(const std::vector<std::string>& paths) {
  std::string maps = "00010000-00011000 rw-p 00000000 00:00 0 \n";
  for (const std::string& path : paths) {
    maps +=
        "7bc00000-7bc01000 r--p 00000000 fe:00 1106404                            " + path + "\n";
  }
  return maps + "ffffe000-fffff000 r-xp 00000000 00:00 0                          [vdso]\n";
}

// The variables, NUL-separated as environ holds them.
std::string environment_of(const std::vector<std::string>& variables) {
  std::string environment;
  for (const std::string& variable : variables) environment += variable + '\0';
  return environment;
}

constexpr char kNtdll[] = "/usr/lib/i386-linux-gnu/wine/i386-unix/ntdll.so";
constexpr char kGameFolder[] = "/home/p/.steam/steam/steamapps/common/Game";
constexpr char kOwnPrefix[] = "/home/p/.wine";
constexpr char kSteamPrefix[] = "/home/p/.steam/steam/steamapps/compatdata/4242/pfx";

std::string game_maps(const std::string& module = std::string(kGameFolder) + "/holsterkeys.dll") {
  return maps_of({std::string(kGameFolder) + "/game.exe", module, kNtdll});
}

std::vector<std::string> proton_environment() {
  return {"HOME=/home/p", "WINEPREFIX=" + std::string(kSteamPrefix), "SteamAppId=4242",
          "STEAM_COMPAT_DATA_PATH=/home/p/.steam/steam/steamapps/compatdata/4242",
          "PWD=" + std::string(kGameFolder)};
}

// One process as a stand-in /proc shows it.
struct FakeProcess {
  unsigned long pid = 7;
  std::vector<std::string> environment = proton_environment();
  std::string maps = game_maps();
  std::string cwd = kGameFolder;  // its current folder's final path, or empty
  std::optional<std::int32_t> slot = 4;
  bool memory_denied = false;
  std::uint64_t started = 1000;  // ticks since Linux started
  std::int64_t listed = 1700000000;
};

// A /proc of a few processes, which notes every file a survey reads.
struct FakeProc {
  bool reachable = true;
  FakeProcess self{1, {"HOME=/home/p"}, maps_of({kNtdll})};
  std::vector<FakeProcess> processes{FakeProcess{}};
  double uptime = 1000;                       // seconds
  std::map<std::string, std::string> finals;  // paths as the system names them
  std::set<std::string> files{std::string(kGameFolder) + kSeparator + "holsterkeys.ini"};
  std::vector<std::string> read;  // each file read, or link followed

  static std::string in(const std::string& folder, const std::string& name) {
    return folder + kSeparator + name;
  }
  std::string root() const { return "proc"; }
  std::string folder_of(const FakeProcess& process) const {
    return in(root(), std::to_string(process.pid));
  }

  const FakeProcess* process_at(const std::string& path, const char* name) const {
    if (path == in(in(root(), "self"), name)) return &self;
    for (const FakeProcess& process : processes) {
      if (path == in(folder_of(process), name)) return &process;
    }
    return nullptr;
  }

  static std::string stat_of(const FakeProcess& process) {
    std::string stat = std::to_string(process.pid) + " (game (1).exe) S";
    for (int field = 4; field < 22; ++field) stat += " 1";
    return stat + " " + std::to_string(process.started) + " 0 0\n";
  }

  std::optional<std::string> contents(const std::string& path) const {
    if (path == in(root(), "uptime")) return std::to_string(uptime) + " 10.00\n";
    if (const FakeProcess* process = process_at(path, "environ")) {
      return environment_of(process->environment);
    }
    if (const FakeProcess* process = process_at(path, "stat")) return stat_of(*process);
    if (const FakeProcess* process = process_at(path, "maps")) return process->maps;
    return std::nullopt;
  }

  LinuxFiles access() {
    LinuxFiles access;
    access.reach = [this](const std::string& linux_path) {
      return linux_path != "/proc" ? linux_path : reachable ? root() : std::string();
    };
    access.list = [this](const std::string& folder) {
      std::vector<FolderEntry> entries{{"self", true, 0}, {"uptime", false, 0}};
      for (const FakeProcess& process : processes) {
        entries.push_back({std::to_string(process.pid), true, process.listed});
      }
      if (folder != root()) entries.clear();
      return entries;
    };
    access.read = [this](const std::string& path) {
      read.push_back(path);
      return contents(path);
    };
    access.read_at = [this](const std::string& path, std::uint64_t offset, std::size_t size,
                            std::string& bytes, FileFailure& failure) {
      read.push_back(path);
      const FakeProcess* process = process_at(path, "mem");
      if (process == nullptr || process->memory_denied) {
        failure.problem = FileProblem::kNoPermission;
        return false;
      }
      if (!process->slot || offset != 0x00B7CDBC || size != 4) {
        failure.problem = FileProblem::kOther;
        return false;
      }
      bytes.append(reinterpret_cast<const char*>(&*process->slot), 4);
      return true;
    };
    access.final_path = [this](const std::string& path) {
      read.push_back(path);
      if (const FakeProcess* process = process_at(path, "cwd")) return process->cwd;
      const auto final = finals.find(path);
      return final == finals.end() ? std::string() : final->second;
    };
    access.linux_path = [](const std::string& path) { return path; };
    access.is_file = [this](const std::string& path) { return files.contains(path); };
    return access;
  }
};

// The facts of a game found, as a test compares them.
struct GameSeen {
  unsigned long pid;
  std::string module, program, prefix, app_id;
  bool steam;
  std::optional<std::string> folder;
  bool config_there;
  std::optional<std::int32_t> slot;
  bool slot_hidden;
  bool operator==(const GameSeen&) const = default;
};

void PrintTo(const GameSeen& game, std::ostream* out) {
  *out << "process " << game.pid << ", module " << game.module << ", program " << game.program
       << ", prefix " << game.prefix << ", app " << game.app_id << ", steam " << game.steam
       << ", folder " << game.folder.value_or("(none)") << ", config there " << game.config_there
       << ", slot " << (game.slot ? std::to_string(*game.slot) : "(none)") << ", hidden "
       << game.slot_hidden;
}

GameSeen seen(const LinuxGame& game) {
  return {game.pid,         game.module, game.program,      game.where.prefix, game.where.app_id,
          game.where.steam, game.folder, game.config_there, game.slot,         game.slot_hidden};
}

GameSeen proton_game() {
  return {7,
          std::string(kGameFolder) + "/holsterkeys.dll",
          std::string(kGameFolder) + "/game.exe",
          kSteamPrefix,
          "4242",
          true,
          kGameFolder,
          true,
          4,
          false};
}

struct SurveyCase {
  const char* name;
  void (*arrange)(FakeProc&);
  std::vector<GameSeen> expected;
};

void PrintTo(const SurveyCase& survey, std::ostream* out) { *out << survey.name; }

class LinuxSurvey : public testing::TestWithParam<SurveyCase> {};

TEST_P(LinuxSurvey, FindsTheGamesOfOtherPrefixes) {
  FakeProc proc;
  GetParam().arrange(proc);
  LinuxProcessMemory memory;
  std::vector<GameSeen> found;
  for (const LinuxGame& game : survey_linux_games(proc.access(), memory)) {
    found.push_back(seen(game));
  }
  EXPECT_EQ(found, GetParam().expected);
}

GameSeen with(GameSeen game, void (*change)(GameSeen&)) {
  change(game);
  return game;
}

const SurveyCase kSurveyCases[] = {
    {"ProtonGameInAnotherPrefix", [](FakeProc&) {}, {proton_game()}},
    {"GameOfThisPrefixIsLeftToWindows",
     [](FakeProc& proc) { proc.self.environment = {"WINEPREFIX=" + std::string(kSteamPrefix)}; },
     {}},
    {"ThisPrefixThroughALink",
     [](FakeProc& proc) {
       const std::string other = "/home/p/.local/share/Steam/steamapps/compatdata/4242/pfx";
       proc.self.environment = {"WINEPREFIX=" + other + "/"};
       proc.finals[other] = "Z:\\home\\p\\.local\\share\\Steam\\steamapps\\compatdata\\4242\\pfx";
       proc.finals[kSteamPrefix] = proc.finals[other];
     },
     {}},
    {"DefaultPrefixSeenFromAProtonPrefix",
     [](FakeProc& proc) {
       proc.self.environment = proton_environment();
       proc.processes[0].environment = {"HOME=/home/p/", "PWD=/games/host"};
       proc.processes[0].cwd = "/games/host";
     },
     {with(proton_game(),
           [](GameSeen& game) {
             game.prefix = kOwnPrefix;
             game.app_id = "";
             game.steam = false;
             game.folder = "/games/host";
             game.config_there = false;
           })}},
    {"RenamedForALoader",
     [](FakeProc& proc) {
       proc.processes[0].maps = game_maps(std::string(kGameFolder) + "/scripts/HolsterKeys.ASI");
     },
     {with(proton_game(),
           [](GameSeen& game) {
             game.module = std::string(kGameFolder) + "/scripts/HolsterKeys.ASI";
           })}},
    {"DeletedSinceLoaded",
     [](FakeProc& proc) {
       proc.processes[0].maps = game_maps(std::string(kGameFolder) + "/holsterkeys.dll (deleted)");
     },
     {proton_game()}},
    {"BlanksInItsPath",
     [](FakeProc& proc) { proc.processes[0].maps = game_maps("/home/p/My Games/holsterkeys.dll"); },
     {with(proton_game(),
           [](GameSeen& game) { game.module = "/home/p/My Games/holsterkeys.dll"; })}},
    {"OnlyTheModulesOwnPrograms",
     [](FakeProc& proc) {
       proc.processes[0].maps = maps_of({"/games/holsterkeys-setup.exe", kNtdll});
     },
     {}},
    {"NotAWineProcess",
     [](FakeProc& proc) { proc.processes[0].maps = maps_of({"/games/holsterkeys.dll"}); },
     {}},
    {"WineBeforeVersionSix",
     [](FakeProc& proc) {
       proc.processes[0].maps =
           maps_of({std::string(kGameFolder) + "/game.exe",
                    std::string(kGameFolder) + "/holsterkeys.dll", "/usr/lib/wine/ntdll.dll.so"});
     },
     {proton_game()}},
    {"ThisProgramItself",
     [](FakeProc& proc) {
       proc.processes[0].pid = 1;
       proc.self = proc.processes[0];
       proc.self.environment = {"HOME=/home/p"};
     },
     {}},
    {"ProcessOfAnotherUser", [](FakeProc& proc) { proc.processes[0].environment.clear(); }, {}},
    {"SlotHiddenFromThisProgram",
     [](FakeProc& proc) { proc.processes[0].memory_denied = true; },
     {with(proton_game(),
           [](GameSeen& game) {
             game.slot = std::nullopt;
             game.slot_hidden = true;
           })}},
    {"NothingAtTheSlot",
     [](FakeProc& proc) { proc.processes[0].slot = std::nullopt; },
     {with(proton_game(), [](GameSeen& game) { game.slot = std::nullopt; })}},
    {"FolderFromItsShell",
     [](FakeProc& proc) {
       proc.processes[0].cwd.clear();
       proc.finals[kGameFolder] = kGameFolder;
     },
     {proton_game()}},
    {"NoFolder",
     [](FakeProc& proc) {
       proc.processes[0].cwd.clear();
       proc.processes[0].environment.pop_back();
     },
     {with(proton_game(),
           [](GameSeen& game) {
             game.folder = std::nullopt;
             game.config_there = false;
           })}},
    {"FolderWithoutTheFile",
     [](FakeProc& proc) { proc.files.clear(); },
     {with(proton_game(), [](GameSeen& game) { game.config_there = false; })}},
    {"SteamGameIdWithoutAppId",
     [](FakeProc& proc) {
       proc.processes[0].environment = {"WINEPREFIX=/pfx", "SteamAppId=0", "SteamGameId=77",
                                        "PWD=/x"};
     },
     {with(proton_game(),
           [](GameSeen& game) {
             game.prefix = "/pfx";
             game.app_id = "77";
             game.steam = false;
           })}},
    {"AppIdFromTheCompatibilityData",
     [](FakeProc& proc) {
       proc.processes[0].environment = {"STEAM_COMPAT_DATA_PATH=/steam/compatdata/3000000001/"};
     },
     {with(proton_game(),
           [](GameSeen& game) {
             game.prefix = "/steam/compatdata/3000000001/pfx";
             game.app_id = "3000000001";
           })}},
    {"ProtonOutsideSteam",
     [](FakeProc& proc) {
       proc.processes[0].environment = {"STEAM_COMPAT_DATA_PATH=/home/p/Games/umu/default",
                                        "WINEPREFIX=/home/p/Games/umu/default"};
     },
     {with(proton_game(),
           [](GameSeen& game) {
             game.prefix = "/home/p/Games/umu/default";
             game.app_id = "";
             game.steam = false;
           })}},
    {"NoProc", [](FakeProc& proc) { proc.reachable = false; }, {}},
    {"OwnPrefixUnknown", [](FakeProc& proc) { proc.self.environment.clear(); }, {}},
};

INSTANTIATE_TEST_SUITE_P(Processes, LinuxSurvey, testing::ValuesIn(kSurveyCases), CaseName());

// Every file a survey reads, by its name in the process's folder.
std::vector<std::string> names_read(const FakeProc& proc) {
  std::vector<std::string> names;
  for (const std::string& path : proc.read)
    names.push_back(path.substr(path.rfind(kSeparator) + 1));
  return names;
}

// A second survey with nothing new reads a game's slot, and nothing of any
// other process.
TEST(LinuxSurveyMemory, ReadsOnlyWhatIsNew) {
  FakeProc proc;
  FakeProcess settled_without_module{8};
  settled_without_module.maps = maps_of({"/usr/bin/bash"});
  FakeProcess of_this_prefix{9};
  of_this_prefix.environment = {"HOME=/home/p"};
  proc.processes.push_back(settled_without_module);
  proc.processes.push_back(of_this_prefix);
  LinuxProcessMemory memory;
  EXPECT_EQ(survey_linux_games(proc.access(), memory).size(), 1u);
  proc.read.clear();
  EXPECT_EQ(survey_linux_games(proc.access(), memory).size(), 1u);
  EXPECT_EQ(names_read(proc), (std::vector<std::string>{"mem"}));
}

// A young process is looked through again until it has run for a while:
// a module loader may load the module a moment after the game starts.
TEST(LinuxSurveyMemory, LooksThroughAYoungProcessUntilItHasSettled) {
  FakeProc proc;
  proc.processes[0].maps = maps_of({"/games/game.exe", kNtdll});
  proc.processes[0].started = 100000 - 500;  // five seconds ago
  proc.uptime = 1000;
  LinuxProcessMemory memory;
  EXPECT_TRUE(survey_linux_games(proc.access(), memory).empty());
  proc.read.clear();
  EXPECT_TRUE(survey_linux_games(proc.access(), memory).empty());
  EXPECT_EQ(names_read(proc), (std::vector<std::string>{"maps", "uptime"}));

  proc.processes[0].maps = game_maps();
  EXPECT_EQ(survey_linux_games(proc.access(), memory).size(), 1u);
}

TEST(LinuxSurveyMemory, ForgetsASettledProcessWithoutTheModule) {
  FakeProc proc;
  proc.processes[0].maps = maps_of({"/games/game.exe", kNtdll});
  proc.processes[0].started = 100000 - 500;
  LinuxProcessMemory memory;
  survey_linux_games(proc.access(), memory);
  proc.uptime += 30;
  survey_linux_games(proc.access(), memory);
  proc.read.clear();
  // Loaded now, too late: a module loads while its game starts.
  proc.processes[0].maps = game_maps();
  EXPECT_TRUE(survey_linux_games(proc.access(), memory).empty());
  EXPECT_TRUE(proc.read.empty()) << testing::PrintToString(proc.read);
}

// A number that Linux gives to a new process is a new process: its entry
// in /proc is newer, and so is its start. It is looked at from the survey
// after the one that first lists it.
TEST(LinuxSurveyMemory, ANumberUsedAgainIsANewProcess) {
  FakeProc proc;
  proc.processes[0].maps = maps_of({"/usr/bin/bash", kNtdll});
  LinuxProcessMemory memory;
  EXPECT_TRUE(survey_linux_games(proc.access(), memory).empty());
  proc.processes[0].maps = game_maps();
  proc.processes[0].listed += 5;
  proc.processes[0].started += 500;
  EXPECT_TRUE(survey_linux_games(proc.access(), memory).empty());
  EXPECT_EQ(survey_linux_games(proc.access(), memory).size(), 1u);
}

// Linux makes a process's entry in /proc again after dropping it from its
// cache, with a new time: a game of the same start is the same game, listed
// at every survey and not read again.
TEST(LinuxSurveyMemory, AnEntryMadeAgainIsTheSameGame) {
  FakeProc proc;
  LinuxProcessMemory memory;
  EXPECT_EQ(survey_linux_games(proc.access(), memory).size(), 1u);
  proc.processes[0].listed += 5;
  proc.read.clear();
  EXPECT_EQ(survey_linux_games(proc.access(), memory).size(), 1u);
  EXPECT_EQ(names_read(proc), (std::vector<std::string>{"stat", "mem"}));
}

// Where Linux refuses a game's memory to this program, each refusal may
// leave a line in the system's log: it is asked once.
TEST(LinuxSurveyMemory, AGameWhoseMemoryIsRefusedIsAskedOnce) {
  FakeProc proc;
  proc.processes[0].memory_denied = true;
  LinuxProcessMemory memory;
  EXPECT_TRUE(survey_linux_games(proc.access(), memory).at(0).slot_hidden);
  proc.read.clear();
  EXPECT_TRUE(survey_linux_games(proc.access(), memory).at(0).slot_hidden);
  EXPECT_TRUE(proc.read.empty()) << testing::PrintToString(proc.read);
}

// Processes come and go by the hundred while a compiler runs: one that
// lives between two surveys is never read.
TEST(LinuxSurveyMemory, AProcessOfAMomentIsNeverRead) {
  FakeProc proc;
  LinuxProcessMemory memory;
  survey_linux_games(proc.access(), memory);
  proc.processes.push_back(FakeProcess{12});
  proc.read.clear();
  EXPECT_EQ(survey_linux_games(proc.access(), memory).size(), 1u);
  proc.processes.pop_back();
  EXPECT_EQ(survey_linux_games(proc.access(), memory).size(), 1u);
  EXPECT_EQ(names_read(proc), (std::vector<std::string>{"mem", "mem"}));
}

TEST(LinuxSurveyMemory, AProcessGoneIsForgotten) {
  FakeProc proc;
  LinuxProcessMemory memory;
  survey_linux_games(proc.access(), memory);
  proc.processes.clear();
  EXPECT_TRUE(survey_linux_games(proc.access(), memory).empty());
  EXPECT_TRUE(memory.processes.empty());
}

TEST(MappedFiles, TheFirstModuleAndProgram) {
  const MappedFiles mapped = mapped_files(
      "00400000-00401000 r--p 00000000 fe:00 11052149   /games/Game.EXE\n"
      "00500000-00501000 r--p 00000000 fe:00 11052149   /games/holsterkeys-check.exe\n"
      "66540000-66541000 r--p 00000000 fe:00 11052150   /games/holsterkeys.asi\n"
      "66550000-66551000 r--p 00000000 fe:00 11052151   /games/holsterkeys.dll\n"
      "f7be8000-f7bee000 r--p 00000000 fe:00 1105978    /usr/lib/wine/i386-unix/ntdll.so\n"
      "f7c00000-f7c01000 rw-p 00000000 00:00 0 \n"
      "ffffe000-fffff000 r-xp 00000000 00:00 0          [vdso]");
  EXPECT_TRUE(mapped.wine);
  EXPECT_EQ(mapped.module, "/games/holsterkeys.asi");
  EXPECT_EQ(mapped.program, "/games/Game.EXE");
}

TEST(MappedFiles, NothingInAnEmptyMap) {
  const MappedFiles mapped = mapped_files("");
  EXPECT_FALSE(mapped.wine);
  EXPECT_EQ(mapped.module, "");
  EXPECT_EQ(mapped.program, "");
}

TEST(ProcessStart, ANameWithBlanksAndBrackets) {
  const auto start = process_start(
      "4635 (window (host) 1) S 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 633610 20 21\n");
  ASSERT_TRUE(start);
  EXPECT_EQ(start->pid, 4635u);
  EXPECT_EQ(start->ticks, 633610u);
  EXPECT_FALSE(process_start("4635 (cut) S 1 2"));
}

TEST(Uptime, SecondsSinceLinuxStarted) {
  EXPECT_EQ(uptime_seconds("6364.38 5000.01\n"), 6364u);
  EXPECT_FALSE(uptime_seconds(""));
  EXPECT_FALSE(uptime_seconds(".38 5000.01\n"));
}

struct LineCase {
  const char* name;
  std::string line, expected;
};

void PrintTo(const LineCase& line, std::ostream* out) { *out << line.name; }

class PrefixLines : public testing::TestWithParam<LineCase> {};

TEST_P(PrefixLines, AsAShellReadsThem) { EXPECT_EQ(GetParam().line, GetParam().expected); }

const LineCase kLineCases[] = {
    {"Protontricks", protontricks_line("/home/p/Games/host", "4242"),
     "cd /home/p/Games/host && protontricks-launch --appid 4242 holsterkeys-setup.exe"},
    {"ProtontricksInAFolderWithBlanks",
     protontricks_line("/home/p/steamapps/common/The Game's", "4242"),
     "cd '/home/p/steamapps/common/The Game'\\''s' && protontricks-launch --appid 4242 "
     "holsterkeys-setup.exe"},
    {"ProtontricksWithoutAnAppId", protontricks_line("/games", ""), ""},
    {"WinePrefix", wine_prefix_line("/games/host", "/home/p/wine prefixes/game"),
     "cd /games/host && WINEPREFIX='/home/p/wine prefixes/game' wine holsterkeys-setup.exe"},
    {"WinePrefixWithoutAFolder", wine_prefix_line("", "/pfx"), ""},
    {"SteamLaunchOptions",
     steam_launch_options("/home/p/steamapps/common/The Game",
                          "/home/p/steamapps/common/The "
                          "Game/bin/My Game.exe"),
     "bash -c 'for a; do [[ ${a,,} == *\"/my game.exe\" ]] && exec \"${c[@]}\" "
     "\"/home/p/steamapps/common/The Game/holsterkeys-setup.exe\"; c+=(\"$a\"); done; exec "
     "\"$@\"' -- %command%"},
    {"SteamLaunchOptionsForAQuotedName", steam_launch_options("/games", "/games/it's.exe"), ""},
    {"SteamLaunchOptionsForAFolderWithADollar", steam_launch_options("/games/$x", "/games/a.exe"),
     ""},
    {"SteamLaunchOptionsForANameWithADoubleQuote",
     steam_launch_options("/games", "/games/a\"b.exe"), ""},
    {"SteamLaunchOptionsForANameWithABacktick", steam_launch_options("/games", "/games/`x`.exe"),
     ""},
    {"SteamLaunchOptionsForAFolderWithABackslash",
     steam_launch_options("/games/a\\b", "/games/a\\b/a.exe"), ""},
    {"SteamLaunchOptionsWithoutAProgram", steam_launch_options("/games", ""), ""},
};

INSTANTIATE_TEST_SUITE_P(Lines, PrefixLines, testing::ValuesIn(kLineCases), CaseName());

#ifdef __linux__
// A process that Linux runs, with the module and Wine's ntdll mapped and the
// variables of Steam's Proton in its environment, found in the real /proc.
class RealProc : public InScratchFolder {};

TEST_F(RealProc, FindsAStandInGameOfAnotherPrefix) {
  const std::string folder = final_path(".");
  for (const char* name : {"game.exe", "holsterkeys.dll", "ntdll.so", "holsterkeys.ini"}) {
    write_file(name, std::string(4096, 'x'));
  }
  int to_game[2], from_game[2];
  ASSERT_EQ(pipe(to_game), 0);
  ASSERT_EQ(pipe(from_game), 0);
  const std::string prefix = folder + "/compatdata/4242/pfx";
  const std::string variables[] = {"WINEPREFIX=" + prefix, "SteamAppId=4242",
                                   "STEAM_COMPAT_DATA_PATH=" + folder + "/compatdata/4242"};
  const pid_t game = fork();
  if (game == 0) {
    dup2(to_game[0], 0);
    dup2(from_game[1], 1);
    for (const int end : {to_game[0], to_game[1], from_game[0], from_game[1]}) close(end);
    const char* arguments[] = {
        HOLSTERKEYS_LINUX_GAME_STAND_IN, "5", "game.exe", "holsterkeys.dll", "ntdll.so", nullptr};
    const char* environment[] = {variables[0].c_str(), variables[1].c_str(), variables[2].c_str(),
                                 nullptr};
    execve(arguments[0], const_cast<char**>(arguments), const_cast<char**>(environment));
    _exit(127);
  }
  close(to_game[0]);
  close(from_game[1]);
  char said[32] = {};
  ASSERT_GT(read(from_game[0], said, sizeof said - 1), 0);
  const bool slot_there = std::string(said) == "ready slot\n";

  LinuxProcessMemory memory;
  const std::vector<LinuxGame> games = survey_linux_games(platform_linux_files(), memory);
  close(to_game[1]);
  close(from_game[0]);
  waitpid(game, nullptr, 0);

  const auto found = std::find_if(games.begin(), games.end(), [&](const LinuxGame& each) {
    return each.pid == static_cast<unsigned long>(game);
  });
  ASSERT_NE(found, games.end()) << said;
  EXPECT_EQ(seen(*found), (GameSeen{static_cast<unsigned long>(game), folder + "/holsterkeys.dll",
                                    folder + "/game.exe", prefix, "4242", true, folder, true,
                                    slot_there ? std::optional(5) : std::nullopt, false}));
}

// What bash prints when it runs `line` after `script`, which stands in for
// the programs the line names.
std::string bash_says(const std::string& script, const std::string& line) {
  InScratchFolder::write_file("line.sh", script + "\n" + line + "\n");
  std::FILE* shell = popen("bash line.sh", "r");
  std::string said;
  for (int c; shell != nullptr && (c = std::fgetc(shell)) != EOF;) said += static_cast<char>(c);
  if (shell != nullptr) pclose(shell);
  return said;
}

// The lines offered to players, run by a real shell in folders and prefixes
// whose names hold what a shell gives a meaning to: each reaches them.
class LinesInAShell : public InScratchFolder {};

TEST_F(LinesInAShell, ReachTheFolderAndPrefixNamed) {
  const std::string here = final_path(".");
  for (const std::string name : {"The Game's", "$HOME", "`id`", "a\\b", "a\"b", "*", "a;b", "!x",
                                 "~", "a&b", "a\nb", "%x", "-x", "a b"}) {
    const std::string folder = here + "/" + name;
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0) << name;
    EXPECT_EQ(bash_says("protontricks-launch() { printf '%s|%s|%s' \"$PWD\" \"$2\" \"$3\"; }",
                        protontricks_line(folder, "4242")),
              folder + "|4242|holsterkeys-setup.exe")
        << name;
    EXPECT_EQ(bash_says("wine() { printf '%s|%s|%s' \"$PWD\" \"$WINEPREFIX\" \"$1\"; }",
                        wine_prefix_line(folder, here + "/" + name + "pfx")),
              folder + "|" + here + "/" + name + "pfx|holsterkeys-setup.exe")
        << name;
  }
}
#endif

}  // namespace
}  // namespace holsterkeys
