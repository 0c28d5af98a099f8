// The host's side of the module's scenarios (tests/module_scenarios.h) on
// the real Windows API: it loads the module, then plays each step and
// checks the slot after it. The slot's home is laid out before.
#pragma once

#include <string>

#include "tests/module_scenarios.h"

namespace holsterkeys::wine {

// The path of the file `name` in this program's folder.
std::string beside_this_program(const char* name);

// Plays `scenario` in this process, reporting each step's faults as test
// failures. The module must not be loaded yet; the current folder is the
// game's.
void play(const scenarios::Scenario& scenario);

}  // namespace holsterkeys::wine
