// The selection cycle's platform inside the host: the Windows profile
// reader, Sleep, GetAsyncKeyState and the store into the slot variable.
#pragma once

#include "bindings/bindings.h"

namespace holsterkeys {

class WindowsPlatform {
 public:
  // Reads, once, whether the program the process was started from holds
  // the slot variable in one of its writable sections.
  WindowsPlatform();

  void wait_ms(unsigned ms) const;
  void read_value(const char* key, ValueText& value) const;
  int key_state(KeyCode code) const;
  // Stores `slot` into the host's slot variable, unless the variable is not
  // the host program's own or not committed and writable in this process.
  void store_slot(SlotNumber slot) const;

 private:
  // The base of the process's own program when its headers put the slot
  // variable in a writable section; null when they do not.
  const void* slot_program_;
};

}  // namespace holsterkeys
