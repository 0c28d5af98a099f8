// A host that keeps no slot variable of its own. What it has at the slot
// address is its one argument:
//   as-found   whatever an ordinary process has there (under 64-bit Wine, a
//              read-only view of a system file);
//   unmapped   nothing;
//   reserved   address space reserved but not committed;
//   read-only  a committed page that may only be read;
//   guard      a writable page that faults once when touched;
//   writable   a committed page, as a host that has the variable: the
//              control, in which the module must store.
// Holding every bound key, the module must leave the host alive and the
// page as it was, except the writable one, which must hold the last row's
// slot. Exit 0 when all is as it must be, 1 when not, 77 when the process
// cannot lay out its address space as asked.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "selector/selection_cycle.h"
#include "tools/host/player.h"

using namespace holsterkeys;

namespace {

constexpr int kSkipped = 77;
// Every row's key is held, so each cycle ends on the last row's slot.
constexpr SlotNumber kHeldSlot = kCategories.back().slot;
// Given to the copy that finds the slot's 64 KiB kept free for it.
constexpr char kKeptFree[] = "kept-free";
constexpr std::uintptr_t kGranule = 0x10000;

struct Layout {
  const char* name;
  DWORD allocation;  // 0: nothing is allocated
  DWORD protection;
};

// The first is the process's own; the others are laid out by a copy.
constexpr Layout kLayouts[] = {
    {"as-found", 0, 0},
    {"unmapped", 0, 0},
    {"reserved", MEM_RESERVE, PAGE_NOACCESS},
    {"read-only", MEM_RESERVE | MEM_COMMIT, PAGE_READONLY},
    {"guard", MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE | PAGE_GUARD},
    {"writable", MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE},
};

const Layout* layout_named(const char* name) {
  for (const Layout& layout : kLayouts) {
    if (std::strcmp(layout.name, name) == 0) return &layout;
  }
  return nullptr;
}

void* slot_address() { return reinterpret_cast<void*>(host::kGameSlotAddress); }
void* slot_granule() { return reinterpret_cast<void*>(host::kGameSlotAddress & ~(kGranule - 1)); }

MEMORY_BASIC_INFORMATION slot_page() {
  MEMORY_BASIC_INFORMATION page{};
  VirtualQuery(slot_address(), &page, sizeof page);
  return page;
}

constexpr DWORD kWritable =
    PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;

// Pages that this program can touch without a fault, and those it can store to.
bool has_access(const MEMORY_BASIC_INFORMATION& page, DWORD protections) {
  return page.State == MEM_COMMIT && (page.Protect & protections) != 0 &&
         (page.Protect & PAGE_GUARD) == 0;
}
bool readable(const MEMORY_BASIC_INFORMATION& page) {
  return has_access(page, kWritable | PAGE_READONLY | PAGE_EXECUTE_READ);
}
bool writable(const MEMORY_BASIC_INFORMATION& page) { return has_access(page, kWritable); }

SlotNumber slot_value() { return *static_cast<volatile SlotNumber*>(slot_address()); }

// Windows and Wine map files of their own into a new process's low address
// space before its first instruction; under 64-bit Wine one of them covers
// the slot address. So this program starts a suspended copy of itself and
// reserves the slot's 64 KiB in it first; the copy then releases them and
// lays out the page itself.
int run_copy_with_slot_kept_free(const char* layout) {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, sizeof self);
  std::string command = std::string("\"") + self + "\" " + layout + " " + kKeptFree;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION copy{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr,
                      nullptr, &startup, &copy)) {
    std::printf("cannot start a copy of this program (error %lu)\n", GetLastError());
    return 1;
  }
  if (VirtualAllocEx(copy.hProcess, slot_granule(), kGranule, MEM_RESERVE, PAGE_NOACCESS) ==
      nullptr) {
    std::printf("the new process already uses the slot address (error %lu); skipped\n",
                GetLastError());
    TerminateProcess(copy.hProcess, kSkipped);
  }
  ResumeThread(copy.hThread);
  WaitForSingleObject(copy.hProcess, INFINITE);
  DWORD status = 1;
  GetExitCodeProcess(copy.hProcess, &status);
  CloseHandle(copy.hThread);
  CloseHandle(copy.hProcess);
  return static_cast<int>(status);
}

// Releases the 64 KiB kept free and lays out the slot page as asked.
bool lay_out(const Layout& layout) {
  if (!VirtualFree(slot_granule(), 0, MEM_RELEASE)) return false;
  if (layout.allocation == 0) return true;
  return VirtualAlloc(slot_address(), sizeof(SlotNumber), layout.allocation, layout.protection) !=
         nullptr;
}

// Loads the module and holds every bound key for five cycles.
bool module_keeps_to_the_page() {
  const MEMORY_BASIC_INFORMATION before = slot_page();
  const SlotNumber value_before = readable(before) ? slot_value() : 0;
  host::write_config(host::config_binding(host::kSpareKeys));
  if (LoadLibraryA("holsterkeys.dll") == nullptr) return false;
  for (KeyCode key : host::kSpareKeys) host::press_key(key);
  Sleep(5 * kCyclePeriodMs);
  for (KeyCode key : host::kSpareKeys) host::release_key(key);
  const MEMORY_BASIC_INFORMATION after = slot_page();
  const SlotNumber value_after = readable(after) ? slot_value() : 0;
  std::printf(
      "slot page: state %#lx, protection %#lx, value %d; after five cycles: %#lx, %#lx, %d\n",
      before.State, before.Protect, value_before, after.State, after.Protect, value_after);
  return after.State == before.State && after.Protect == before.Protect &&
         value_after == (writable(before) ? kHeldSlot : value_before);
}

}  // namespace

int main(int argc, char** argv) {
  const Layout* layout = argc >= 2 ? layout_named(argv[1]) : nullptr;
  if (layout == nullptr) {
    std::fputs("usage: host_without_slot as-found|unmapped|reserved|read-only|guard|writable\n",
               stderr);
    return 2;
  }
  const bool as_found = layout == &kLayouts[0];
  if (!as_found && argc == 2) return run_copy_with_slot_kept_free(argv[1]);
  if (!as_found && !lay_out(*layout)) {
    std::printf("cannot lay out the slot page (error %lu); skipped\n", GetLastError());
    return kSkipped;
  }
  if (as_found && writable(slot_page())) {
    std::puts("writable memory at the slot address in this process; skipped");
    return kSkipped;
  }
  const std::string folder = host::enter_scratch_folder(std::string("without-slot-") + argv[1]);
  const bool kept = module_keeps_to_the_page();
  host::remove_config();
  SetCurrentDirectoryA("..");
  RemoveDirectoryA(folder.c_str());
  std::puts(kept ? "host alive, and the slot page as it must be" : "the slot page is wrong");
  host::exit_host(kept ? 0 : 1);
}
