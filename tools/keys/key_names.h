// Names of Windows virtual-key codes, for showing and for suggesting codes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "bindings/bindings.h"

namespace holsterkeys {

// The code as players write it in the file: "0x41".
std::string hex_code(KeyCode code);

// The key's name ("F2", "A", "Numpad5", "Mouse X1"), or empty when no key
// has that code.
std::string key_name(KeyCode code);

// The key as a sentence names it: "the right mouse button", "F2",
// "Numpad5"; empty when no key has that code.
std::string key_in_words(KeyCode code);

// The code of a key written by name, as players do ("F2", "a", "VK_F2",
// "numpad5", "space"); nothing when the name is unknown.
std::optional<KeyCode> key_code_named(std::string_view name);

}  // namespace holsterkeys
