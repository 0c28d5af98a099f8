// A stand-in game with a window. Real keys reach Wine programs only while a
// Wine window has the focus, so this host opens one, loads the module and
// prints each slot number the module stores, then puts its own value back.
// It ends after the seconds given (default 60) or when its window closes.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "tools/host/stand_in_host.h"

using namespace holsterkeys;

namespace {

constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT kWatchMs = 2;

LRESULT CALLBACK on_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_TIMER && wparam == kWatchTimer) {
    if (const std::int32_t slot = host::slot_variable(); slot != 0) {
      std::printf("slot %d\n", static_cast<int>(slot));
      std::fflush(stdout);
      host::slot_variable() = 0;
    }
    return 0;
  }
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, wparam, lparam);
}

HWND open_window() {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = on_message;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = "holsterkeys-host";
  RegisterClassA(&window_class);
  HWND window =
      CreateWindowA("holsterkeys-host", "holsterkeys host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                    320, 200, nullptr, nullptr, window_class.hInstance, nullptr);
  SetForegroundWindow(window);
  SetFocus(window);
  return window;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  host::slot_variable() = 0;
  HWND window = open_window();
  if (window == nullptr || host::load_module() == nullptr) return 1;
  SetTimer(window, kWatchTimer, kWatchMs, nullptr);
  std::printf("host ready\n");
  std::fflush(stdout);
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
  MSG message;
  while (GetTickCount64() < end && GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  host::exit_host(0);
}
