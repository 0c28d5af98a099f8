// The running programs that have the module loaded, as --running lists them
// and the setup window's game line shows them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace holsterkeys {

struct RunningGame {
  unsigned long id;                   // the process
  std::string program;                // its full path
  std::string module;                 // the module's full path in it
  std::optional<std::int32_t> slot;   // its slot variable, when it can be read
  std::optional<std::string> folder;  // its current folder, where the module reads
};

struct RunningSurvey {
  std::vector<RunningGame> games;
  // Programs that may be games but could not be examined: "process 42 (C:\...)".
  std::vector<std::string> denied;
};

// Looks at every running program (needs Windows or Wine).
RunningSurvey survey_running();

}  // namespace holsterkeys
