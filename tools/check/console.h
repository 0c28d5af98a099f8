// The checker's console: a double-clicked checker keeps its window open
// until the player has read it.
#pragma once

namespace holsterkeys {

// Waits for Enter when the checker is the only program in a console window
// that Windows opened for it; returns at once from a prompt, from a Linux
// terminal, with redirected output, and away from Windows.
void keep_own_console_open();

}  // namespace holsterkeys
