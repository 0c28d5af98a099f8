#include "tests/wine/scenario_player.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "selector/selection_cycle.h"
#include "tests/program_headers.h"
#include "tools/host/player.h"

namespace holsterkeys::wine {
namespace {

using scenarios::Protection;
using scenarios::Scenario;

constexpr unsigned kFewCyclesMs = 400;
// Long enough for every cycle that began before a change to have ended.
constexpr unsigned kSettleMs = kCyclePeriodMs * 3 / 2;

volatile SlotNumber& slot() {
  return *reinterpret_cast<volatile SlotNumber*>(host::kGameSlotAddress);
}

MEMORY_BASIC_INFORMATION slot_page() {
  MEMORY_BASIC_INFORMATION page{};
  VirtualQuery(reinterpret_cast<const void*>(host::kGameSlotAddress), &page, sizeof page);
  return page;
}

bool committed(const MEMORY_BASIC_INFORMATION& page) { return page.State == MEM_COMMIT; }

// A page this program can read without a fault, or without clearing a guard.
bool readable(const MEMORY_BASIC_INFORMATION& page) {
  return committed(page) && (page.Protect & (PAGE_NOACCESS | PAGE_GUARD)) == 0;
}

DWORD page_protection(Protection protection) {
  switch (protection) {
    case Protection::kReadOnly:
      return PAGE_READONLY;
    case Protection::kExecuteRead:
      return PAGE_EXECUTE_READ;
    case Protection::kNoAccess:
      return PAGE_NOACCESS;
    case Protection::kGuard:
      return PAGE_READWRITE | PAGE_GUARD;
    default:
      return PAGE_READWRITE;
  }
}

// Changes the slot page's protection, where there is a page to change.
void protect_slot_page(DWORD protection) {
  if (!committed(slot_page())) return;
  DWORD previous;
  VirtualProtect(reinterpret_cast<void*>(host::kGameSlotAddress), sizeof(SlotNumber), protection,
                 &previous);
}

// Reserves the address range that the module's headers ask for, so that
// the loader has to place it elsewhere. Returns the module's own base, or
// null when that range is in use.
void* take_the_modules_own_base(const std::string& module) {
  std::ifstream file(module, std::ios::binary);
  std::vector<char> headers(4096);
  file.read(headers.data(), static_cast<std::streamsize>(headers.size()));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(headers.data());
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(headers.data() + dos->e_lfanew);
  return VirtualAlloc(reinterpret_cast<void*>(nt->OptionalHeader.ImageBase),
                      nt->OptionalHeader.SizeOfImage, MEM_RESERVE, PAGE_NOACCESS);
}

// This program's own headers, in the first page of its image: damaged as a
// scenario says before the module is loaded, and mended once the module's
// worker has read them. A module that read them again later would find
// them mended.
class OwnHeaders {
 public:
  static constexpr std::size_t kPage = 0x1000;

  explicit OwnHeaders(program_headers::Damage damage)
      : base_(reinterpret_cast<std::uint8_t*>(GetModuleHandleA(nullptr))),
        saved_(base_, base_ + kPage) {
    if (damage == program_headers::Damage::kNone) return;
    VirtualProtect(base_, kPage, PAGE_READWRITE, &protection_);
    program_headers::damage(std::span(base_, kPage), reinterpret_cast<std::uintptr_t>(base_),
                            damage);
    DWORD writable;
    VirtualProtect(base_, kPage,
                   damage == program_headers::Damage::kUnreadable ? PAGE_NOACCESS : protection_,
                   &writable);
    damaged_ = true;
  }

  void mend() {
    if (!damaged_) return;
    DWORD damaged;
    VirtualProtect(base_, kPage, PAGE_READWRITE, &damaged);
    std::memcpy(base_, saved_.data(), kPage);
    VirtualProtect(base_, kPage, protection_, &damaged);
    damaged_ = false;
  }

 private:
  std::uint8_t* base_;
  std::vector<std::uint8_t> saved_;
  DWORD protection_ = PAGE_READONLY;
  bool damaged_ = false;
};

testing::AssertionResult load_module(const Scenario& scenario) {
  const std::string module = beside_this_program("holsterkeys.dll");
  void* const own_base = scenario.loaded_elsewhere ? take_the_modules_own_base(module) : nullptr;
  if (scenario.loaded_elsewhere && own_base == nullptr) {
    return testing::AssertionFailure() << "the module's own base is in use already";
  }
  const HMODULE loaded = LoadLibraryA(module.c_str());
  if (loaded == nullptr) {
    return testing::AssertionFailure()
           << "cannot load " << module << " (error " << GetLastError() << ")";
  }
  if (loaded == own_base) return testing::AssertionFailure() << "the loader kept the own base";
  // The worker's first cycle comes a period after loading.
  Sleep(2 * kCyclePeriodMs);
  return testing::AssertionSuccess();
}

// The keys held in a step: with every key down, all a test may press.
std::vector<KeyCode> keys_in(const Scenario& scenario, int step) {
  std::vector<KeyCode> keys;
  if (scenario.every_key_down) {
    keys.assign(host::kSpareKeys.begin(), host::kSpareKeys.end());
    keys.push_back(0);
  } else if (const auto held = scenario.keys.find(step); held != scenario.keys.end()) {
    for (const scenarios::Key& key : held->second) keys.push_back(key.code);
  }
  return keys;
}

void write_file(const std::optional<std::string>& file) {
  if (file) {
    host::write_config(*file);
  } else {
    host::remove_config();
  }
}

// The host's own value, written where the page lets it be written.
void write_host_value() {
  if (!committed(slot_page())) return;
  protect_slot_page(PAGE_READWRITE);
  slot() = scenarios::kHostValue;
}

// Each of a few cycles ends with `value` in the slot. Within a cycle the
// host may see an earlier row's store for the moment before the last one,
// so the slot is read well after the cycle's stores.
testing::AssertionResult cycles_end_on(SlotNumber value) {
  for (int cycle = 0; cycle < 3; ++cycle) {
    slot() = scenarios::kHostValue;
    const ULONGLONG deadline = GetTickCount64() + kFewCyclesMs;
    while (slot() != value) {
      if (GetTickCount64() >= deadline) {
        return testing::AssertionFailure() << "no store of " << value << "; slot holds " << slot();
      }
      Sleep(2);
    }
    Sleep(kCyclePeriodMs / 4);
    if (slot() != value) {
      return testing::AssertionFailure() << "the cycle ended on " << slot() << ", not " << value;
    }
  }
  return testing::AssertionSuccess();
}

// Over a few cycles nothing is stored: the page keeps its state and
// protection, and the slot the host's value. A page this program cannot
// read is looked at once the keys are up and it is made readable.
testing::AssertionResult nothing_stored(const std::vector<KeyCode>& held, bool keep_keys) {
  const MEMORY_BASIC_INFORMATION before = slot_page();
  const ULONGLONG deadline = GetTickCount64() + kFewCyclesMs;
  while (GetTickCount64() < deadline) {
    if (readable(before) && slot() != scenarios::kHostValue) {
      return testing::AssertionFailure() << "slot became " << slot();
    }
    Sleep(2);
  }
  const MEMORY_BASIC_INFORMATION after = slot_page();
  if (after.State != before.State || after.Protect != before.Protect) {
    return testing::AssertionFailure()
           << "the slot page changed from state " << before.State << ", protection "
           << before.Protect << " to " << after.State << ", " << after.Protect;
  }
  if (!readable(before) && committed(before)) {
    if (!keep_keys) {
      for (KeyCode code : held) host::release_key(code);
      Sleep(kSettleMs);
    }
    protect_slot_page(PAGE_READWRITE);
    if (slot() != scenarios::kHostValue) {
      return testing::AssertionFailure() << "behind its protection the slot holds " << slot();
    }
  }
  return testing::AssertionSuccess();
}

}  // namespace

std::string beside_this_program(const char* name) {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, sizeof path);
  const std::string program = path;
  return program.substr(0, program.find_last_of("\\/") + 1) + name;
}

void play(const Scenario& scenario) {
  OwnHeaders headers(scenario.headers);
  const testing::AssertionResult loaded = load_module(scenario);
  headers.mend();
  ASSERT_TRUE(loaded);
  std::vector<KeyCode> pressed;
  for (int step = 1; step <= scenario.steps(); ++step) {
    SCOPED_TRACE("step " + std::to_string(step));
    // The step's file is written and left to be read, with the keys up,
    // before the host writes its value; then the keys go down.
    if (!scenario.every_key_down) {
      for (KeyCode code : pressed) host::release_key(code);
      pressed.clear();
    }
    if (step == 1 || scenario.file_in(step) != scenario.file_in(step - 1)) {
      write_file(scenario.file_in(step));
    }
    Sleep(kSettleMs);
    write_host_value();
    protect_slot_page(page_protection(scenario.protection_in(step)));
    const std::vector<KeyCode> held = keys_in(scenario, step);
    for (KeyCode code : held) {
      if (std::find(pressed.begin(), pressed.end(), code) != pressed.end()) continue;
      host::press_key(code);
      pressed.push_back(code);
    }
    if (const std::optional<SlotNumber> expected = scenario.slots[step - 1]) {
      EXPECT_TRUE(cycles_end_on(*expected));
    } else {
      EXPECT_TRUE(nothing_stored(held, scenario.every_key_down));
    }
  }
  for (KeyCode code : pressed) host::release_key(code);
}

}  // namespace holsterkeys::wine
