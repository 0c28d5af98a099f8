#include "tools/host/player.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace holsterkeys::host {
namespace {

// Mouse buttons go through SendInput's mouse input, keys through the keyboard.
INPUT input_for(KeyCode code, bool down) {
  INPUT input{};
  switch (code) {
    case VK_LBUTTON:
      input.type = INPUT_MOUSE;
      input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
      break;
    case VK_RBUTTON:
      input.type = INPUT_MOUSE;
      input.mi.dwFlags = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
      break;
    case VK_MBUTTON:
      input.type = INPUT_MOUSE;
      input.mi.dwFlags = down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
      break;
    case VK_XBUTTON1:
    case VK_XBUTTON2:
      input.type = INPUT_MOUSE;
      input.mi.dwFlags = down ? MOUSEEVENTF_XDOWN : MOUSEEVENTF_XUP;
      input.mi.mouseData = code == VK_XBUTTON1 ? XBUTTON1 : XBUTTON2;
      break;
    default:
      input.type = INPUT_KEYBOARD;
      input.ki.wVk = static_cast<WORD>(code);
      input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  }
  return input;
}

void send(KeyCode code, bool down) {
  INPUT input = input_for(code, down);
  SendInput(1, &input, sizeof input);
}

}  // namespace

void press_key(KeyCode code) { send(code, true); }
void release_key(KeyCode code) { send(code, false); }

void write_config(const std::string& text) {
  std::ofstream(kConfigPath, std::ios::binary | std::ios::trunc) << text;
}

void remove_config() { DeleteFileA(kConfigPath); }

std::string config_binding(const KeyCodes& keys) {
  std::string text = "[Bindings]\r\n";
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    text += std::string(kCategories[row].name) + "=" + std::to_string(keys[row]) + "\r\n";
  }
  return text;
}

namespace {

// What an earlier run left behind, a failed one above all: files, made
// writable first, and empty folders.
void empty_current_folder() {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA("*", &found);
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileA(name.c_str())) RemoveDirectoryA(name.c_str());
  }
  FindClose(search);
}

}  // namespace

std::string enter_scratch_folder(const std::string& name) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  std::string folder = std::string(temp) + "holsterkeys-" + name;
  std::replace(folder.begin() + static_cast<long>(std::strlen(temp)), folder.end(), '/', '-');
  CreateDirectoryA(folder.c_str(), nullptr);
  // Anywhere else, the host would write and delete a real configuration.
  if (!SetCurrentDirectoryA(folder.c_str())) {
    std::fprintf(stderr, "stand-in host: cannot enter the scratch folder %s (error %lu)\n",
                 folder.c_str(), GetLastError());
    exit_host(2);
  }
  empty_current_folder();
  return folder;
}

void exit_host(int status) {
  std::fflush(stdout);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
  std::abort();  // TerminateProcess does not return for the calling process
}

}  // namespace holsterkeys::host
