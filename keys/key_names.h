// keys/: names of Windows virtual-key codes, both ways, for showing codes to
// players and for reading the names they write, and the characters of the
// text they write them in (player_text.h). It knows nothing of files or
// findings and uses only the module's bindings (the key code type), so
// that the advice library, the live library and every program can name a
// key and read a player's text the same way.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bindings/bindings.h"

namespace holsterkeys {

// Esc cancels what a live mode waits for, and Backspace skips a category.
inline constexpr KeyCode kEsc = 0x1B;
inline constexpr KeyCode kBackspace = 0x08;

// The code as players write it in the file: "0x41".
std::string hex_code(KeyCode code);

// The key's name ("F2", "A", "Numpad5", "Mouse X1"), or empty when no key
// has that code.
std::string key_name(KeyCode code);

// True for a code that a key or mouse button has.
bool names_a_key(KeyCode code);

// What the active keyboard layout calls a code's key, in UTF-8: the
// character the key types ("Ö"), or the layout's name for the key; empty
// where the layout gives none.
using LayoutLabel = std::string (*)(KeyCode code);

// Makes shown_key_name ask `character` for the character a key types, and
// `name` for the name of a key that types none (the Windows programs
// install both, which ask Windows); nullptrs go back to the portable names
// alone.
void label_keys_by_layout(LayoutLabel character, LayoutLabel name);

// The key's name in the player's language: "Rücktaste" in German for
// Backspace; files keep key_name's.
std::string key_name_in_language(KeyCode code);

// The key as the player's keyboard shows it: its name in the player's
// language, or where the layout
// labels the key otherwise, both: "Ö, ` ~ on US keyboards", "!, OEM 8". The
// layout's name of a key is shown only beside a portable name that is a
// bare code ("ISO_Level3_Shift, OEM 0xE4"): the portable names of the
// other keys say more than names such as "Control_L". Files keep the
// portable name, which every layout reads back.
std::string shown_key_name(KeyCode code);

// The key as a sentence names it, in the player's language: "the right
// mouse button", "F2", "Numpad5"; empty when no key has that code.
std::string key_in_words(KeyCode code);

// The code of a key written by name, as players copy names from Windows,
// from other programs, from X (xev) and from games: "F2", "a", "VK_PRIOR",
// "NumPad-6", "KP_Multiply", "Super_L", "Mouse 4"; nothing when the name is
// unknown.
std::optional<KeyCode> key_code_named(std::string_view name);

// True for a name of the mouse wheel ("MWheelUp", "Wheel Down"), which no
// key code stands for.
bool names_mouse_wheel(std::string_view name);

// The codes that one press of `key` sets down together: its own, and for
// the left or right Shift, Ctrl or Alt also the code of that modifier.
std::vector<KeyCode> codes_down_with(KeyCode key);

// The keys whose press sets `code`: either side's key for the code of
// Shift, Ctrl or Alt; the key itself for any other code.
std::vector<KeyCode> keys_setting(KeyCode code);

}  // namespace holsterkeys
