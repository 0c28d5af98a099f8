// A module that does nothing, built as holsterkeys.dll is: the benchmark's
// yardstick for the time the loader spends in a module's entry point.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
