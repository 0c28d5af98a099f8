// A host that keeps no slot variable, as an ordinary process: at the slot
// address it has nothing, a reservation or a read-only mapping. Holding
// every bound key, the module must leave this host alive. Exit 0 when it
// does, 77 when this process happens to have writable memory there.
#include <windows.h>

#include <cstdio>
#include <string>

#include "selector/selection_cycle.h"
#include "tools/host/player.h"

using namespace holsterkeys;

namespace {

constexpr int kSkipped = 77;

MEMORY_BASIC_INFORMATION slot_page() {
  MEMORY_BASIC_INFORMATION page{};
  VirtualQuery(reinterpret_cast<const void*>(kSlotAddress), &page, sizeof page);
  return page;
}

}  // namespace

int main() {
  const MEMORY_BASIC_INFORMATION page = slot_page();
  std::printf("slot address: state %#lx, protection %#lx\n", page.State, page.Protect);
  if (page.State == MEM_COMMIT && (page.Protect & (PAGE_READWRITE | PAGE_WRITECOPY)) != 0) {
    std::puts("writable memory at the slot address in this process; skipped");
    return kSkipped;
  }
  const std::string folder = host::enter_scratch_folder("without-slot");
  host::write_config(host::config_binding(host::kSpareKeys));
  if (LoadLibraryA("holsterkeys.dll") == nullptr) return 1;
  for (KeyCode key : host::kSpareKeys) host::press_key(key);
  Sleep(5 * kCyclePeriodMs);
  for (KeyCode key : host::kSpareKeys) host::release_key(key);
  host::remove_config();
  SetCurrentDirectoryA("..");
  RemoveDirectoryA(folder.c_str());
  std::puts("host alive after five cycles with every key held");
  host::exit_host(0);
}
