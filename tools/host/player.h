// What a player does to the module: press keys and edit the configuration.
#pragma once

#include <string>

#include "bindings/bindings.h"

namespace holsterkeys::host {

// Presses or releases a key or mouse button, seen by the whole desktop.
void press_key(KeyCode code);
void release_key(KeyCode code);

// Writes .\holsterkeys.ini in the current folder, or removes it.
void write_config(const std::string& text);
void remove_config();

}  // namespace holsterkeys::host
