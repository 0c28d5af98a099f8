// The real platform calls of the selection cycle.
#include "module/windows_platform.h"

#include <windows.h>

#include "bindings/program_image.h"
#include "module/windows_profile_file.h"
#include "selector/selection_cycle.h"

namespace holsterkeys {
namespace {

constexpr DWORD kWritableProtections =
    PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
constexpr DWORD kReadableProtections = kWritableProtections | PAGE_READONLY | PAGE_EXECUTE_READ;

bool has_access(const MEMORY_BASIC_INFORMATION& page, DWORD protections) {
  return page.State == MEM_COMMIT && (page.Protect & protections) != 0 &&
         (page.Protect & (PAGE_GUARD | PAGE_NOACCESS)) == 0;
}

// The game keeps its slot variable in its own program's data; in any other
// program the same address holds a heap block or another module's data,
// which must not be overwritten. So the module finds the program the
// process was started from and asks its headers whether a writable section
// holds the variable. The headers are read no further than the committed,
// readable pages at the program's base, so headers of any shape cannot
// fault. Returns the program's base, or null.
const void* program_holding_the_slot() {
  const auto* base = reinterpret_cast<const std::uint8_t*>(GetModuleHandleA(nullptr));
  MEMORY_BASIC_INFORMATION headers;
  if (base == nullptr || VirtualQuery(base, &headers, sizeof headers) == 0 ||
      !has_access(headers, kReadableProtections)) {
    return nullptr;
  }
  const auto readable = static_cast<std::size_t>(
      static_cast<const std::uint8_t*>(headers.BaseAddress) + headers.RegionSize - base);
  return writable_section_holds({base, readable}, reinterpret_cast<std::uintptr_t>(base),
                                kSlotAddress, sizeof(SlotNumber))
             ? base
             : nullptr;
}

// Before each store the slot variable's page must still belong to that
// program and be committed and writable: the host may have changed its
// protection, and only the page itself can say that the headers told the
// truth. The variable is aligned, so its four bytes lie in one page.
bool slot_is_writable(const void* program) {
  MEMORY_BASIC_INFORMATION page;
  return program != nullptr &&
         VirtualQuery(reinterpret_cast<const void*>(kSlotAddress), &page, sizeof page) != 0 &&
         page.AllocationBase == program && has_access(page, kWritableProtections);
}

}  // namespace

WindowsPlatform::WindowsPlatform() : slot_program_(program_holding_the_slot()) {}

void WindowsPlatform::wait_ms(unsigned ms) const { Sleep(ms); }

void WindowsPlatform::read_value(const char* key, ValueText& value) const {
  WindowsProfileFile(kConfigPath).read_value(key, value);
}

int WindowsPlatform::key_state(KeyCode code) const { return GetAsyncKeyState(code); }

void WindowsPlatform::store_slot(SlotNumber slot) const {
  if (!slot_is_writable(slot_program_)) return;
  // One aligned 32-bit store, which the host never sees half done.
  *reinterpret_cast<volatile SlotNumber*>(kSlotAddress) = slot;
}

}  // namespace holsterkeys
