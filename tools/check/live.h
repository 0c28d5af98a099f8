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

// True when this program runs under Wine.
bool runs_under_wine();

}  // namespace holsterkeys
