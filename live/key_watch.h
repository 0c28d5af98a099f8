// Presses of keys and mouse buttons, seen as the module sees them: with
// GetAsyncKeyState, for every code from 1 to 254, about every 10 ms.
#pragma once

#include <set>
#include <vector>

#include "bindings/bindings.h"

namespace holsterkeys {

class KeyWatch {
 public:
  // Keys already down when watching starts are not reported as presses.
  KeyWatch();

  // Waits until at least one key or mouse button is pressed, or until
  // `stop` turns true; the codes pressed, lowest first.
  std::vector<KeyCode> next_presses(const volatile bool& stop);

  // The codes pressed since the last look, lowest first, without waiting.
  std::vector<KeyCode> poll();

  // The codes down at the last poll.
  const std::set<KeyCode>& held() const { return held_; }

 private:
  std::set<KeyCode> held_;
};

// Ends a live mode on Ctrl+C as on Esc: `stop` turns true.
void stop_on_ctrl_c(volatile bool& stop);

}  // namespace holsterkeys
