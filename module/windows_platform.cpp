// The real platform calls of the selection cycle.
#include "module/windows_platform.h"

#include <windows.h>

#include "module/windows_profile_file.h"
#include "selector/selection_cycle.h"

namespace holsterkeys {
namespace {

constexpr DWORD kWritableProtections =
    PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;

// The module cannot recognise its host, so it makes sure the slot variable's
// page is committed and writable before each store: in a process that keeps
// nothing there, a plain store would kill the host. The variable is aligned,
// so its four bytes lie in one page.
bool slot_is_writable() {
  MEMORY_BASIC_INFORMATION page;
  if (VirtualQuery(reinterpret_cast<const void*>(kSlotAddress), &page, sizeof page) == 0) {
    return false;
  }
  return page.State == MEM_COMMIT && (page.Protect & kWritableProtections) != 0 &&
         (page.Protect & (PAGE_GUARD | PAGE_NOACCESS)) == 0;
}

}  // namespace

void WindowsPlatform::wait_ms(unsigned ms) const { Sleep(ms); }

void WindowsPlatform::read_value(const char* key, ValueText& value) const {
  WindowsProfileFile(kConfigPath).read_value(key, value);
}

int WindowsPlatform::key_state(KeyCode code) const { return GetAsyncKeyState(code); }

void WindowsPlatform::store_slot(SlotNumber slot) const {
  if (!slot_is_writable()) return;
  // One aligned 32-bit store, which the host never sees half done.
  *reinterpret_cast<volatile SlotNumber*>(kSlotAddress) = slot;
}

}  // namespace holsterkeys
