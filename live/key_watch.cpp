#include "live/key_watch.h"

#include <windows.h>

namespace holsterkeys {
namespace {

constexpr DWORD kPollMs = 10;
volatile bool* ctrl_c_flag = nullptr;

BOOL WINAPI on_console_control(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  if (ctrl_c_flag != nullptr) *ctrl_c_flag = true;
  return TRUE;
}

}  // namespace

KeyWatch::KeyWatch() { poll(); }

// A key counts as pressed when it is down now and was not at the last
// poll, or when it is up but the query says it was pressed since the last
// query: a tap shorter than the poll is seen that way. A held key's repeats
// are not presses.
std::vector<KeyCode> KeyWatch::poll() {
  std::vector<KeyCode> pressed;
  for (KeyCode code = 1; code <= 254; ++code) {
    const SHORT state = GetAsyncKeyState(code);
    const bool down = (state & 0x8000) != 0;
    if (down ? !held_.contains(code) : (state & 1) != 0) pressed.push_back(code);
    if (down) {
      held_.insert(code);
    } else {
      held_.erase(code);
    }
  }
  return pressed;
}

std::vector<KeyCode> KeyWatch::next_presses(const volatile bool& stop) {
  while (!stop) {
    Sleep(kPollMs);
    std::vector<KeyCode> pressed = poll();
    if (!pressed.empty()) return pressed;
  }
  return {};
}

void stop_on_ctrl_c(volatile bool& stop) {
  ctrl_c_flag = &stop;
  SetConsoleCtrlHandler(on_console_control, TRUE);
}

}  // namespace holsterkeys
