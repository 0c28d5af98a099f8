// The checker's console: a double-clicked checker keeps its window open
// until the player has read it.
#pragma once

#include <string>

namespace holsterkeys {

// Waits for Enter when the checker is the only program in a console window
// that Windows opened for it; returns at once from a prompt, from a Linux
// terminal, with redirected output, and away from Windows.
void keep_own_console_open();

// Prints UTF-8 text: into a console window through its Unicode output, so
// that every letter shows whatever the console's code page; elsewhere as
// the UTF-8 bytes.
void print_text(const std::string& utf8);
// The same on the error output.
void print_error_text(const std::string& utf8);

}  // namespace holsterkeys
