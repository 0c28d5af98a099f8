#include "tools/keys/key_names.h"

#include <cstdio>

namespace holsterkeys {
namespace {

struct NamedKey {
  KeyCode code;
  const char* name;
};

// clang-format off
// Every named code outside the runs of letters, digits, function keys and
// numpad digits, which are made by key_name below.
constexpr NamedKey kNamedKeys[] = {
    {0x01, "Mouse Left"}, {0x02, "Mouse Right"}, {0x03, "Cancel"}, {0x04, "Mouse Middle"},
    {0x05, "Mouse X1"}, {0x06, "Mouse X2"}, {0x08, "Backspace"}, {0x09, "Tab"},
    {0x0C, "Clear"}, {0x0D, "Enter"}, {0x10, "Shift"}, {0x11, "Ctrl"}, {0x12, "Alt"},
    {0x13, "Pause"}, {0x14, "Caps Lock"}, {0x15, "IME Kana"}, {0x16, "IME On"},
    {0x17, "IME Junja"}, {0x18, "IME Final"}, {0x19, "IME Kanji"}, {0x1A, "IME Off"},
    {0x1B, "Esc"}, {0x1C, "IME Convert"}, {0x1D, "IME Nonconvert"}, {0x1E, "IME Accept"},
    {0x1F, "IME Mode Change"}, {0x20, "Space"}, {0x21, "Page Up"}, {0x22, "Page Down"},
    {0x23, "End"}, {0x24, "Home"}, {0x25, "Left"}, {0x26, "Up"}, {0x27, "Right"},
    {0x28, "Down"}, {0x29, "Select"}, {0x2A, "Print"}, {0x2B, "Execute"},
    {0x2C, "Print Screen"}, {0x2D, "Insert"}, {0x2E, "Delete"}, {0x2F, "Help"},
    {0x5B, "Left Windows"}, {0x5C, "Right Windows"}, {0x5D, "Apps"}, {0x5F, "Sleep"},
    {0x6A, "Numpad *"}, {0x6B, "Numpad +"}, {0x6C, "Separator"}, {0x6D, "Numpad -"},
    {0x6E, "Numpad ."}, {0x6F, "Numpad /"}, {0x90, "Num Lock"}, {0x91, "Scroll Lock"},
    {0x92, "OEM 0x92"}, {0x93, "OEM 0x93"}, {0x94, "OEM 0x94"}, {0x95, "OEM 0x95"},
    {0x96, "OEM 0x96"}, {0xA0, "Left Shift"}, {0xA1, "Right Shift"}, {0xA2, "Left Ctrl"},
    {0xA3, "Right Ctrl"}, {0xA4, "Left Alt"}, {0xA5, "Right Alt"}, {0xA6, "Browser Back"},
    {0xA7, "Browser Forward"}, {0xA8, "Browser Refresh"}, {0xA9, "Browser Stop"},
    {0xAA, "Browser Search"}, {0xAB, "Browser Favorites"}, {0xAC, "Browser Home"},
    {0xAD, "Volume Mute"}, {0xAE, "Volume Down"}, {0xAF, "Volume Up"}, {0xB0, "Next Track"},
    {0xB1, "Previous Track"}, {0xB2, "Stop Media"}, {0xB3, "Play/Pause"}, {0xB4, "Mail"},
    {0xB5, "Select Media"}, {0xB6, "Launch App 1"}, {0xB7, "Launch App 2"}, {0xBA, "; :"},
    {0xBB, "= +"}, {0xBC, ", <"}, {0xBD, "- _"}, {0xBE, ". >"}, {0xBF, "/ ?"}, {0xC0, "` ~"},
    {0xDB, "[ {"}, {0xDC, "\\ |"}, {0xDD, "] }"}, {0xDE, "' \""}, {0xDF, "OEM 8"},
    {0xE1, "OEM 0xE1"}, {0xE2, "< > (102nd key)"}, {0xE3, "OEM 0xE3"}, {0xE4, "OEM 0xE4"},
    {0xE5, "IME Process"}, {0xE6, "OEM 0xE6"}, {0xE7, "Packet"}, {0xE9, "OEM 0xE9"},
    {0xEA, "OEM 0xEA"}, {0xEB, "OEM 0xEB"}, {0xEC, "OEM 0xEC"}, {0xED, "OEM 0xED"},
    {0xEE, "OEM 0xEE"}, {0xEF, "OEM 0xEF"}, {0xF0, "OEM 0xF0"}, {0xF1, "OEM 0xF1"},
    {0xF2, "OEM 0xF2"}, {0xF3, "OEM 0xF3"}, {0xF4, "OEM 0xF4"}, {0xF5, "OEM 0xF5"},
    {0xF6, "Attn"}, {0xF7, "CrSel"}, {0xF8, "ExSel"}, {0xF9, "Erase EOF"}, {0xFA, "Play"},
    {0xFB, "Zoom"}, {0xFC, "NoName"}, {0xFD, "PA1"}, {0xFE, "OEM Clear"},
};

// Other spellings players use for a named code.
constexpr NamedKey kAliases[] = {
    {0x01, "LButton"}, {0x02, "RButton"}, {0x04, "MButton"}, {0x05, "XButton1"},
    {0x06, "XButton2"}, {0x05, "Mouse4"}, {0x06, "Mouse5"}, {0x0D, "Return"},
    {0x11, "Control"}, {0x12, "Menu"}, {0x1B, "Escape"}, {0x21, "PgUp"}, {0x22, "PgDn"},
    {0x2E, "Del"}, {0x2D, "Ins"}, {0x14, "Capital"}, {0x25, "Left Arrow"},
    {0x26, "Up Arrow"}, {0x27, "Right Arrow"}, {0x28, "Down Arrow"},
    {0xA0, "LShift"}, {0xA1, "RShift"}, {0xA2, "LCtrl"}, {0xA3, "RCtrl"}, {0xA2, "LControl"},
    {0xA3, "RControl"}, {0xA4, "LAlt"}, {0xA5, "RAlt"}, {0xA4, "LMenu"}, {0xA5, "RMenu"},
    {0x6A, "Multiply"}, {0x6B, "Add"}, {0x6D, "Subtract"}, {0x6E, "Decimal"},
    {0x6F, "Divide"}, {0x91, "Scroll"}, {0x90, "NumLock"}, {0x2C, "Snapshot"},
    {0x24, "Pos1"}, {0x13, "Break"},
};
// clang-format on

// Names compare without case, blanks or underscores: "Page Up" is "PAGE_UP".
std::string folded(std::string_view name) {
  std::string result;
  for (char c : name) {
    if (c == ' ' || c == '_' || c == '\t') continue;
    result.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  }
  return result;
}

}  // namespace

std::string hex_code(KeyCode code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(code));
  return text;
}

std::string key_name(KeyCode code) {
  if (code >= '0' && code <= '9') return std::string(1, static_cast<char>(code));
  if (code >= 'A' && code <= 'Z') return std::string(1, static_cast<char>(code));
  if (code >= 0x60 && code <= 0x69) return "Numpad" + std::to_string(code - 0x60);
  if (code >= 0x70 && code <= 0x87) return "F" + std::to_string(code - 0x70 + 1);
  for (const NamedKey& key : kNamedKeys) {
    if (key.code == code) return key.name;
  }
  return {};
}

std::string key_in_words(KeyCode code) {
  switch (code) {
    case 0x01:
      return "the left mouse button";
    case 0x02:
      return "the right mouse button";
    case 0x04:
      return "the middle mouse button";
    case 0x05:
      return "mouse button X1 (back)";
    case 0x06:
      return "mouse button X2 (forward)";
    default:
      return key_name(code);
  }
}

std::optional<KeyCode> key_code_named(std::string_view written) {
  std::string name = folded(written);
  if (name.starts_with("vk")) name.erase(0, 2);
  if (name.empty()) return std::nullopt;
  // Letters, digits, function keys and numpad digits by their pattern.
  for (KeyCode code = 0x01; code <= 0xFE; ++code) {
    if (folded(key_name(code)) == name) return code;
  }
  for (const NamedKey& alias : kAliases) {
    if (folded(alias.name) == name) return alias.code;
  }
  if (name.starts_with("num") && name.size() == 4 && name[3] >= '0' && name[3] <= '9') {
    return 0x60 + (name[3] - '0');
  }
  return std::nullopt;
}

}  // namespace holsterkeys
