#include "live/layout_label.h"

#include <windows.h>

namespace holsterkeys {
namespace {

// Blanks and control characters label no key; Space and Enter have names.
bool is_printable(wchar_t character) {
  return character > L' ' && (character < 0x7F || character >= 0xA0);
}

std::string utf8(const wchar_t* text) {
  char bytes[256] = {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
  return size > 1 ? std::string(bytes, size - 1) : std::string();
}

}  // namespace

std::string active_layout_label(KeyCode code) {
  const UINT mapped = MapVirtualKeyExW(code, MAPVK_VK_TO_CHAR, GetKeyboardLayout(0));
  // A dead key's character comes with the top bit set; the key shows it all the same.
  wchar_t text[2] = {static_cast<wchar_t>(mapped & 0xFFFF), L'\0'};
  if (!is_printable(text[0])) return {};
  CharUpperW(text);
  return utf8(text);
}

std::string active_layout_key_name(KeyCode code) {
  const UINT scan = MapVirtualKeyExW(code, MAPVK_VK_TO_VSC_EX, GetKeyboardLayout(0));
  if (scan == 0) return {};
  // GetKeyNameTextW takes the scan code as a key message's lParam carries
  // it: in bits 16 to 23, with bit 24 for the keys of the extended set.
  LPARAM key = static_cast<LPARAM>(scan & 0xFF) << 16;
  if ((scan & 0xFF00) != 0) key |= LPARAM{1} << 24;
  wchar_t name[64] = {};
  if (GetKeyNameTextW(static_cast<LONG>(key), name, 64) <= 0) return {};
  return utf8(name);
}

}  // namespace holsterkeys
