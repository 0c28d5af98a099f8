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

// The active layout's name for the key of `code`, in UTF-8: Windows names
// keys in the language of its keyboard layout, and Wine by their X keysyms
// ("ISO_Level3_Shift"); empty where it has none. Installed with
// label_keys_by_layout.
std::string active_layout_key_name(KeyCode code);

}  // namespace holsterkeys
