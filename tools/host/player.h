// What the stand-in hosts share: pressing keys and editing the configuration
// as a player does, a folder to play in, and a way to exit.
#pragma once

#include <cstdint>
#include <string>

#include "bindings/bindings.h"

namespace holsterkeys::host {

// Where the game keeps its slot variable. The game fixes it, not the
// module, so the stand-ins spell it out for themselves: a module that
// stores anywhere else fails their tests.
inline constexpr std::uintptr_t kGameSlotAddress = 0x00B7CDBC;

// Presses or releases a key or mouse button, seen by the whole desktop.
void press_key(KeyCode code);
void release_key(KeyCode code);

// F13 to F17, one per row: keys that players' keyboards lack, free for tests.
inline constexpr KeyCodes kSpareKeys{0x7C, 0x7D, 0x7E, 0x7F, 0x80};

// A configuration that binds each row to its key in `keys`.
std::string config_binding(const KeyCodes& keys);

// Makes the folder holsterkeys-`name` in the temporary folder, empty, and
// makes it current, as the game's folder; returns its path. Ends the
// program when the folder cannot be made current.
std::string enter_scratch_folder(const std::string& name);

// Writes .\holsterkeys.ini in the current folder, or removes it.
void write_config(const std::string& text);
void remove_config();

// Ends the host with `status` once its output is flushed, without the
// process teardown. Under Wine, a teardown that finds the module's worker
// stopped inside the profile reader can wait for a lock the worker held,
// until the Wine server kills the process a second later; a stand-in host
// has nothing to tear down.
[[noreturn]] void exit_host(int status);

}  // namespace holsterkeys::host
