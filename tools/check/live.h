// The checker's live modes, which need the Windows API, or Wine's. Each
// returns the exit status.
#pragma once

#include <string>

#include "bindings/bindings.h"

namespace holsterkeys {

// --keys: every press of a key or mouse button, with its code, its name
// and what the module does with it, until Esc or Ctrl+C.
int watch_keys();

// --running: every running program that has the module loaded, with its
// slot variable and where the module looks for its configuration.
int list_running();

// --bind: writes the next key pressed into the configuration that the
// player named in `file` (or .\holsterkeys.ini where it is null), or into
// the VirtualStore copy that the game reads in its place, for `category`
// or, when it is null, for each category in slot order; then shows the
// file as the file check does. Exits 0 when it wrote what was asked,
// whatever else the file holds.
int bind_by_pressing(const Category* category, const char* file);

// Under Wine, the sentence that says where key presses arrive; else empty.
std::string where_keys_arrive();

}  // namespace holsterkeys
