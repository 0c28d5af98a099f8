#include "live/wide_text.h"

#include <windows.h>

#include "keys/player_text.h"

namespace holsterkeys {

std::wstring widened(const std::string& text) {
  const std::string utf8 = as_utf8(text);
  const int size = static_cast<int>(utf8.size());
  std::wstring wide(
      static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0)),
      L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), static_cast<int>(wide.size()));
  return wide;
}

}  // namespace holsterkeys
