// A host that keeps no slot variable of its own: whatever lies at the slot
// address is not the game's. It plays the module's scenarios whose slot
// lies outside the host's own program, each in a copy of itself that lays
// out the slot's page first; and it runs the module in the address space
// as the system leaves it. The module must leave the host alive and the
// memory as it was.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "selector/selection_cycle.h"
#include "tests/case_name.h"
#include "tests/module_scenarios.h"
#include "tests/wine/scenario_player.h"
#include "tools/host/player.h"

using namespace holsterkeys;
using scenarios::Scenario;
using scenarios::SlotHome;

namespace {

constexpr int kSkipped = 77;
// Given to the copy that finds the slot's 64 KiB kept free for it.
constexpr char kKeptFree[] = "--kept-free";
constexpr std::uintptr_t kGranule = 0x10000;
bool slot_kept_free = false;

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

std::string current_test() {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  return std::string(test->test_suite_name()) + "." + test->name();
}

// Windows and Wine map files of their own into a new process's low address
// space before its first instruction; under 64-bit Wine one of them covers
// the slot address. So this program starts a suspended copy of itself that
// runs the current test alone, and reserves the slot's 64 KiB in it first;
// the copy then releases them and lays out the page itself. Returns the
// copy's exit status.
int run_in_copy_with_slot_kept_free() {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, sizeof self);
  std::string command =
      std::string("\"") + self + "\" --gtest_filter=" + current_test() + " " + kKeptFree;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION copy{};
  std::fflush(stdout);
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr,
                      nullptr, &startup, &copy)) {
    std::printf("cannot start a copy of this program (error %lu)\n", GetLastError());
    return 1;
  }
  if (VirtualAllocEx(copy.hProcess, slot_granule(), kGranule, MEM_RESERVE, PAGE_NOACCESS) ==
      nullptr) {
    std::printf("the new process already uses the slot address (error %lu)\n", GetLastError());
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

// slot_module.dll, beside this program, at its own base, where its data
// section spans the slot address.
bool load_slot_module() {
  const HMODULE module = LoadLibraryA(wine::beside_this_program("slot_module.dll").c_str());
  if (module == nullptr) return false;
  const MEMORY_BASIC_INFORMATION page = slot_page();
  return page.AllocationBase == module && writable(page);
}

// Releases the 64 KiB kept free and puts at the slot what `home` says.
bool lay_out(SlotHome home) {
  if (!VirtualFree(slot_granule(), 0, MEM_RELEASE)) return false;
  switch (home) {
    case SlotHome::kOtherModule:
      return load_slot_module();
    case SlotHome::kReserved:
      return VirtualAlloc(slot_address(), sizeof(SlotNumber), MEM_RESERVE, PAGE_NOACCESS) !=
             nullptr;
    case SlotHome::kPrivate:
      return VirtualAlloc(slot_address(), sizeof(SlotNumber), MEM_RESERVE | MEM_COMMIT,
                          PAGE_READWRITE) != nullptr;
    default:
      return true;
  }
}

class InScratchFolder : public testing::Test {
 protected:
  void SetUp() override { folder_ = host::enter_scratch_folder("without-slot-" + current_test()); }
  void TearDown() override {
    host::remove_config();
    SetCurrentDirectoryA("..");
    RemoveDirectoryA(folder_.c_str());
  }

 private:
  std::string folder_;
};

class SlotOutsideTheHost : public InScratchFolder, public testing::WithParamInterface<Scenario> {};

TEST_P(SlotOutsideTheHost, PlaysAsTheTableSays) {
  if (!slot_kept_free) {
    const int status = run_in_copy_with_slot_kept_free();
    if (status == kSkipped) GTEST_SKIP() << "the slot page cannot be laid out as asked";
    EXPECT_EQ(status, 0) << "the copy that played the scenario failed; its output is above";
    return;
  }
  if (!lay_out(GetParam().home)) {
    std::printf("cannot lay out the slot page (error %lu)\n", GetLastError());
    host::exit_host(kSkipped);
  }
  wine::play(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Scenarios, SlotOutsideTheHost,
                         testing::ValuesIn(scenarios::where([](const Scenario& scenario) {
                           return scenario.home != SlotHome::kMainImage &&
                                  !scenarios::needs_emulator(scenario);
                         })),
                         CaseName());

// Whatever an ordinary process has at the slot address (under 64-bit Wine,
// a read-only view of a file of Wine's own): holding every bound key for
// five cycles, the module leaves the page and its value as they were.
TEST_F(InScratchFolder, AddressSpaceAsFound) {
  const MEMORY_BASIC_INFORMATION before = slot_page();
  if (writable(before)) GTEST_SKIP() << "writable memory at the slot address in this process";
  const SlotNumber value_before = readable(before) ? slot_value() : 0;
  host::write_config(host::config_binding(host::kSpareKeys));
  ASSERT_NE(LoadLibraryA("holsterkeys.dll"), nullptr);
  for (KeyCode key : host::kSpareKeys) host::press_key(key);
  Sleep(5 * kCyclePeriodMs);
  for (KeyCode key : host::kSpareKeys) host::release_key(key);
  const MEMORY_BASIC_INFORMATION after = slot_page();
  std::printf("slot page: state %#lx, protection %#lx; after five cycles: %#lx, %#lx\n",
              before.State, before.Protect, after.State, after.Protect);
  EXPECT_EQ(after.State, before.State);
  EXPECT_EQ(after.Protect, before.Protect);
  if (readable(after)) {
    EXPECT_EQ(slot_value(), value_before);
  }
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  for (int arg = 1; arg < argc; ++arg) slot_kept_free |= std::strcmp(argv[arg], kKeptFree) == 0;
  host::exit_host(RUN_ALL_TESTS());
}
