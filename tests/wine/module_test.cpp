// The built module inside a stand-in host, on the real Windows API: the
// module's scenarios whose slot lies in the host's own program, and what
// only a real process shows: timing, threads, unloading and the loader's
// notifications.
//
// Every test runs in a process of its own (ctest runs them one at a time,
// since keys pressed in one process are seen by all). The module, once
// loaded, stays for the life of the process.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "bindings/bindings.h"
#include "selector/selection_cycle.h"
#include "tests/case_name.h"
#include "tests/module_scenarios.h"
#include "tests/wine/scenario_player.h"
#include "tools/host/stand_in_host.h"

namespace holsterkeys {
namespace {

using namespace host;

constexpr auto& kRowKeys = kSpareKeys;
constexpr unsigned kFewCyclesMs = 400;

class ModuleInHost : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = enter_scratch_folder(testing::UnitTest::GetInstance()->current_test_info()->name());
    release_all();
    write_config(config_binding(kRowKeys));
    slot_variable() = scenarios::kHostValue;
  }
  void TearDown() override {
    release_all();
    remove_config();
    SetCurrentDirectoryA("..");
    RemoveDirectoryA(folder_.c_str());
  }
  static void release_all() {
    for (KeyCode code : kRowKeys) release_key(code);
  }
  // Loads the module and lets its worker make a first cycle.
  static void load() {
    ASSERT_NE(load_module(), nullptr);
    Sleep(2 * kCyclePeriodMs);
  }

 private:
  std::string folder_;
};

// The worker waits a period before its first poll.
TEST_F(ModuleInHost, FirstStoreComesAPeriodAfterLoading) {
  press_key(kRowKeys[4]);
  const ULONGLONG start = GetTickCount64();
  ASSERT_NE(load_module(), nullptr);
  ASSERT_TRUE(wait_for_slot(6, kFewCyclesMs));
  EXPECT_GE(GetTickCount64() - start, kCyclePeriodMs - 15);
}

DWORD WINAPI host_thread(LPVOID) { return 0; }

TEST_F(ModuleInHost, AddsExactlyOneThread) {
  ASSERT_EQ(GetModuleHandleA("holsterkeys.dll"), nullptr) << "module loaded by an earlier test";
  const int before = count_threads();
  load();
  EXPECT_EQ(count_threads(), before + 1);
  // Threads of the host do not reach the module, and add none of its own.
  HANDLE other = CreateThread(nullptr, 0, host_thread, nullptr, 0, nullptr);
  WaitForSingleObject(other, INFINITE);
  CloseHandle(other);
  EXPECT_EQ(count_threads(), before + 1);
}

// The worker never stops, so unloading must leave the module in place.
TEST_F(ModuleInHost, SurvivesFreeLibrary) {
  HMODULE module = load_module();
  ASSERT_NE(module, nullptr);
  Sleep(kCyclePeriodMs);
  FreeLibrary(module);
  FreeLibrary(module);
  press_key(kRowKeys[1]);
  EXPECT_TRUE(wait_for_slot(5, kFewCyclesMs));
  EXPECT_NE(GetModuleHandleA("holsterkeys.dll"), nullptr);
}

// The loader expects TRUE from every notification; thread notifications
// reach the entry point when a host calls it, though the module turned them off.
TEST_F(ModuleInHost, EntryPointAnswersTrueToThreadNotifications) {
  HMODULE module = load_module();
  ASSERT_NE(module, nullptr);
  const auto* base = reinterpret_cast<const BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const auto entry = reinterpret_cast<BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID)>(
      const_cast<BYTE*>(base) + nt->OptionalHeader.AddressOfEntryPoint);
  EXPECT_TRUE(entry(module, DLL_THREAD_ATTACH, nullptr));
  EXPECT_TRUE(entry(module, DLL_THREAD_DETACH, nullptr));
}

class Scenario : public ModuleInHost, public testing::WithParamInterface<scenarios::Scenario> {};

// The scenarios whose slot lies in this program's own arena.
TEST_P(Scenario, PlaysAsTheTableSays) { wine::play(GetParam()); }

INSTANTIATE_TEST_SUITE_P(
    InTheHostsOwnProgram, Scenario,
    testing::ValuesIn(scenarios::where([](const scenarios::Scenario& scenario) {
      return scenario.home == scenarios::SlotHome::kMainImage &&
             !scenarios::needs_emulator(scenario);
    })),
    CaseName());

}  // namespace
}  // namespace holsterkeys

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  holsterkeys::host::exit_host(RUN_ALL_TESTS());
}
