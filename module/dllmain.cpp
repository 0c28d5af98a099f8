// holsterkeys.dll: five hotkeys that pick a weapon category in the host.
//
// Loaded into the 32-bit host, the module starts one worker thread. Every
// 100 ms the worker reads the key codes bound in .\holsterkeys.ini, polls
// those keys and stores the slot number (2 to 6) of each pressed category
// into the host's slot variable at 0x00B7CDBC. It exports nothing, writes no
// files and reports nothing; the worker runs until the host exits.
#include <windows.h>

#include "module/windows_platform.h"
#include "selector/selection_cycle.h"

namespace {

DWORD WINAPI select_slots_forever(LPVOID) {
  holsterkeys::WindowsPlatform platform;
  for (;;) holsterkeys::run_selection_cycle(platform);
}

// The worker never stops, so the module must never be unmapped under it:
// pinning makes FreeLibrary leave the module in place until the host exits.
bool pin_module() {
  HMODULE self;
  return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(&select_slots_forever), &self) != FALSE;
}

}  // namespace

// Only starts the worker and returns; the loader lets the worker run once
// it has finished with the module. A module that cannot be pinned stays
// idle rather than risk being unloaded under its worker.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  DisableThreadLibraryCalls(instance);
  if (!pin_module()) return TRUE;
  HANDLE worker = CreateThread(nullptr, 0, select_slots_forever, nullptr, 0, nullptr);
  if (worker != nullptr) CloseHandle(worker);
  return TRUE;
}
