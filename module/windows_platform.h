// The selection cycle's platform inside the host: the Windows profile
// reader, Sleep, GetAsyncKeyState and the store into the slot variable.
#pragma once

#include "bindings/bindings.h"

namespace holsterkeys {

class WindowsPlatform {
 public:
  void wait_ms(unsigned ms) const;
  void read_value(const char* key, ValueText& value) const;
  int key_state(KeyCode code) const;
  // Stores `slot` into the host's slot variable, unless the variable is not
  // committed and writable in this process.
  void store_slot(SlotNumber slot) const;
};

}  // namespace holsterkeys
