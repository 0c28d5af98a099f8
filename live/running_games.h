// The running programs that have the module loaded, as --running lists them
// and the setup window's game line shows them.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "live/linux_processes.h"

namespace holsterkeys {

// Under Wine, where a game runs that this program finds among Linux's
// processes, not Windows': in another Wine prefix (Steam's Proton gives
// each game one of its own).
struct OtherPrefix {
  std::string prefix;         // its Wine prefix, a Linux path
  std::string app_id;         // Steam's number of the game, where Steam runs it
  bool steam = false;         // Steam runs it, through Proton
  std::string folder_here;    // its current folder as this program names it, or empty
  bool config_there = false;  // holsterkeys.ini is in its current folder
  bool slot_hidden = false;   // Linux does not let this program read the slot
};

struct RunningGame {
  unsigned long id;                   // the process: Windows' number, or Linux's
  std::string program;                // its full path, or empty where that cannot be read
  std::string module;                 // the module's full path in it
  std::optional<std::int32_t> slot;   // its slot variable, when it can be read
  std::optional<std::string> folder;  // its current folder, where the module reads
  // Set for a game in another Wine prefix, whose paths are Linux paths.
  std::optional<OtherPrefix> elsewhere = std::nullopt;
};

// A program that may be a game but could not be examined.
struct DeniedProgram {
  unsigned long id;
  std::string program;  // its full path, or empty where that cannot be read
};

struct RunningSurvey {
  std::vector<RunningGame> games;
  std::vector<DeniedProgram> denied;
};

// Looks at every running program (needs Windows or Wine); under Wine, also
// at the games of other Wine prefixes, after Windows' own.
RunningSurvey survey_running();

// What a survey learnt of one program's modules: the module, where it has
// it, else the modules already looked at (their addresses in the program),
// so that the next survey reads the names of new modules only.
struct ModulesSeen {
  std::string module;
  std::vector<std::uintptr_t> others;  // sorted
  bool settled = false;                // old enough to load no module more
};

// What surveys learnt of the programs running, by process id and start,
// and under Wine what Linux's processes said. Reading the names of a
// program's modules is the costly part of a survey, so a window that
// surveys every few seconds reads each name once.
struct SurveyMemory {
  std::map<std::pair<unsigned long, unsigned long long>, ModulesSeen> modules;
  LinuxProcessMemory linux_processes;
};

// The same, looking through only the programs that `memory` does not know.
RunningSurvey survey_running(SurveyMemory& memory);

}  // namespace holsterkeys
