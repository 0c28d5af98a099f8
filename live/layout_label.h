// Labels of keys on the keyboard layout the player has active, for naming
// keys in both programs as their keyboards show them.
#pragma once

#include <string>

#include "bindings/bindings.h"

namespace holsterkeys {

// The character the key of `code` types on the active layout, upper case,
// in UTF-8 ("Ö" for 0xC0 on a German keyboard); empty for a key that types
// none. Installed with label_keys_by_layout.
std::string active_layout_label(KeyCode code);

}  // namespace holsterkeys
