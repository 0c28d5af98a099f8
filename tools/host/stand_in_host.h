// A stand-in for the host, for tests, the demo and the benchmarks: it owns
// the slot variable at its fixed address, loads the module, presses keys the
// way a player would, writes the configuration file and watches what the
// module costs it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <set>
#include <string>

#include "tools/host/player.h"

namespace holsterkeys::host {

// The host's slot variable. The first call checks that this program owns
// the address and ends the program with a message when it does not.
volatile std::int32_t& slot_variable();

// Loads the module (by default the one beside this program).
HMODULE load_module(const char* path = "holsterkeys.dll");

// The threads of this process, by id, and how many there are.
std::set<DWORD> thread_ids();
int count_threads();

// Open handles and private committed memory of this process, counted by
// hand: Wine reports neither figure.
DWORD open_handles();
SIZE_T private_committed_kib();

// Waits until the slot variable holds `value`; false after `timeout_ms`.
bool wait_for_slot(std::int32_t value, unsigned timeout_ms);

}  // namespace holsterkeys::host
