// A stand-in for the host, for tests, the demo and the benchmarks: it owns
// the slot variable at its fixed address, loads the module, presses keys the
// way a player would and writes the configuration file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "tools/host/player.h"

namespace holsterkeys::host {

// The host's slot variable. The first call checks that this program owns
// the address and ends the program with a message when it does not.
volatile std::int32_t& slot_variable();

// Loads the module (by default the one beside this program).
HMODULE load_module(const char* path = "holsterkeys.dll");

// The number of threads in this process.
int count_threads();

// Waits until the slot variable holds `value`; false after `timeout_ms`.
bool wait_for_slot(std::int32_t value, unsigned timeout_ms);

}  // namespace holsterkeys::host
