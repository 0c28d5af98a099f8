#include "tools/host/stand_in_host.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>

namespace holsterkeys::host {
namespace {

// The program is linked at a fixed base, and this zero-filled array is large
// enough that it spans the slot address whatever the size of the code.
alignas(4096) volatile std::int32_t slot_arena[4u << 20];

bool arena_spans_slot() {
  const auto first = reinterpret_cast<std::uintptr_t>(&slot_arena[0]);
  const auto end = first + sizeof slot_arena;
  return first <= kGameSlotAddress && kGameSlotAddress + sizeof(std::int32_t) <= end;
}

}  // namespace

volatile std::int32_t& slot_variable() {
  static const bool owned = arena_spans_slot();
  if (!owned) {
    std::fprintf(stderr, "stand-in host: this program does not span the slot address 0x%08X\n",
                 static_cast<unsigned>(kGameSlotAddress));
    std::exit(2);
  }
  return *reinterpret_cast<volatile std::int32_t*>(kGameSlotAddress);
}

HMODULE load_module(const char* path) {
  HMODULE module = LoadLibraryA(path);
  if (module == nullptr) {
    std::fprintf(stderr, "stand-in host: cannot load %s (error %lu)\n", path, GetLastError());
  }
  return module;
}

std::set<DWORD> thread_ids() {
  std::set<DWORD> ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ids.insert(entry.th32ThreadID);
  }
  CloseHandle(snapshot);
  return ids;
}

int count_threads() { return static_cast<int>(thread_ids().size()); }

DWORD open_handles() {
  constexpr std::uintptr_t kHighestProbed = 0x10000;
  DWORD count = 0, flags;
  for (std::uintptr_t value = 4; value < kHighestProbed; value += 4) {
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

SIZE_T private_committed_kib() {
  SIZE_T total = 0;
  MEMORY_BASIC_INFORMATION region;
  for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
       at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
  }
  return total / 1024;
}

bool wait_for_slot(std::int32_t value, unsigned timeout_ms) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  while (slot_variable() != value) {
    if (GetTickCount64() >= deadline) return false;
    Sleep(2);
  }
  return true;
}

}  // namespace holsterkeys::host
