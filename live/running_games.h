// The running programs that have the module loaded, as --running lists them
// and the setup window's game line shows them.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace holsterkeys {

struct RunningGame {
  unsigned long id;                   // the process
  std::string program;                // its full path, or empty where that cannot be read
  std::string module;                 // the module's full path in it
  std::optional<std::int32_t> slot;   // its slot variable, when it can be read
  std::optional<std::string> folder;  // its current folder, where the module reads
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

// Looks at every running program (needs Windows or Wine).
RunningSurvey survey_running();

// What surveys learnt of the programs running: which module each settled
// program holds, by its process id and start. Looking through a program's
// modules is the costly part of a survey, so a window that surveys every
// few seconds does it once for each program.
struct SurveyMemory {
  std::map<std::pair<unsigned long, unsigned long long>, std::string> modules;
};

// The same, looking through only the programs that `memory` does not know.
RunningSurvey survey_running(SurveyMemory& memory);

}  // namespace holsterkeys
