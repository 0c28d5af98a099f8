// live/: what both programs do on the Windows API, or Wine's, while the
// player plays: write one binding into the file, watch keys as the module
// sees them, and find the running games that have the module loaded. It
// uses the advice library below it and the module's Windows platform, and
// nothing of a program.
//
// Writing one binding into the player's file, with the same care wherever
// it is done.
#pragma once

#include <optional>
#include <string>

#include "bindings/bindings.h"

namespace holsterkeys {

// Writes `value` as the category's value in the file at `location`, which
// is created when there is none: one value changes, every other byte
// stays, and the file is replaced in one step with its attributes. With
// `shown`, the bytes the player was shown (empty for no file), a file that
// has changed since is refused. Returns why the file could not be written,
// in a player's words, or nothing; a refused file is left as it was.
std::string write_value(const std::string& location, const Category& category,
                        const std::string& value,
                        const std::optional<std::string>& shown = std::nullopt);

}  // namespace holsterkeys
