// A module whose data lies over the slot address when it is loaded at its
// own base: in a host that loads it, the slot is another module's data,
// which holsterkeys must leave alone. It has no C runtime, so that it fits
// in the 64 KiB that its host keeps free for it.
#include <windows.h>

#include <cstdint>

// Zero-filled and writable. From the base that its build gives the module,
// it spans the slot address; exported, so that the linker keeps it.
extern "C" __declspec(dllexport) volatile std::int32_t slot_module_data[11 * 1024];
volatile std::int32_t slot_module_data[11 * 1024];

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
