// What a player does to the module: press keys and edit the configuration.
#pragma once

#include <array>
#include <string>

#include "bindings/bindings.h"

namespace holsterkeys::host {

// Presses or releases a key or mouse button, seen by the whole desktop.
void press_key(KeyCode code);
void release_key(KeyCode code);

// F13 to F17, one per row: keys that players' keyboards lack, free for tests.
inline constexpr std::array<KeyCode, kBindingCount> kSpareKeys{0x7C, 0x7D, 0x7E, 0x7F, 0x80};

// A configuration that binds each row to its key in `keys`.
std::string config_binding(const std::array<KeyCode, kBindingCount>& keys);

// Makes the folder holsterkeys-`name` in the temporary folder and makes it
// current, as the game's folder; returns its path.
std::string enter_scratch_folder(const std::string& name);

// Writes .\holsterkeys.ini in the current folder, or removes it.
void write_config(const std::string& text);
void remove_config();

}  // namespace holsterkeys::host
