// The built module inside a stand-in host, on the real Windows API.
//
// Every test runs in a process of its own (ctest runs them one at a time,
// since keys pressed in one process are seen by all). The module, once
// loaded, stays for the life of the process.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <string>

#include "bindings/bindings.h"
#include "selector/selection_cycle.h"
#include "tests/case_name.h"
#include "tools/host/stand_in_host.h"

namespace holsterkeys {
namespace {

using namespace host;

constexpr auto& kRowKeys = kSpareKeys;
constexpr unsigned kFewCyclesMs = 400;
constexpr std::int32_t kHostValue = 1;  // a value only the host writes

// The slot holds `value` now and for a few cycles more.
testing::AssertionResult slot_stays(std::int32_t value) {
  const ULONGLONG deadline = GetTickCount64() + kFewCyclesMs;
  while (GetTickCount64() < deadline) {
    if (slot_variable() != value) {
      return testing::AssertionFailure() << "slot became " << slot_variable() << ", not " << value;
    }
    Sleep(2);
  }
  return testing::AssertionSuccess();
}

// Each of a few cycles ends with `value` in the slot. Within a cycle the host
// may see an earlier row's store for the moment before the last one, so the
// slot is read well after the cycle's stores.
testing::AssertionResult cycles_end_on(std::int32_t value) {
  for (int cycle = 0; cycle < 3; ++cycle) {
    slot_variable() = kHostValue;
    if (!wait_for_slot(value, kFewCyclesMs)) {
      return testing::AssertionFailure()
             << "no store of " << value << "; slot holds " << slot_variable();
    }
    Sleep(kCyclePeriodMs / 4);
    if (slot_variable() != value) {
      return testing::AssertionFailure()
             << "the cycle ended on " << slot_variable() << ", not " << value;
    }
  }
  return testing::AssertionSuccess();
}

// The control of a test that expects no store: the worker runs, and with
// every row bound again, a held row's key stores its slot.
testing::AssertionResult bound_key_stores_now() {
  write_config(config_binding(kRowKeys));
  press_key(kRowKeys[4]);
  if (wait_for_slot(kCategories[4].slot, 3 * kCyclePeriodMs)) return testing::AssertionSuccess();
  return testing::AssertionFailure()
         << "a bound key stores nothing: slot holds " << slot_variable();
}

class ModuleInHost : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = enter_scratch_folder(testing::UnitTest::GetInstance()->current_test_info()->name());
    release_all();
    write_config(config_binding(kRowKeys));
    slot_variable() = kHostValue;
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

TEST_F(ModuleInHost, EachRowStoresItsSlot) {
  load();
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    slot_variable() = kHostValue;
    press_key(kRowKeys[row]);
    EXPECT_TRUE(wait_for_slot(kCategories[row].slot, kFewCyclesMs)) << kCategories[row].name;
    release_key(kRowKeys[row]);
    Sleep(kCyclePeriodMs);
  }
}

// The worker waits a period before its first poll.
TEST_F(ModuleInHost, FirstStoreComesAPeriodAfterLoading) {
  press_key(kRowKeys[4]);
  const ULONGLONG start = GetTickCount64();
  ASSERT_NE(load_module(), nullptr);
  ASSERT_TRUE(wait_for_slot(6, kFewCyclesMs));
  EXPECT_GE(GetTickCount64() - start, kCyclePeriodMs - 15);
}

TEST_F(ModuleInHost, NothingStoredWhileNoKeyIsDown) {
  load();
  EXPECT_TRUE(slot_stays(kHostValue));
  EXPECT_TRUE(bound_key_stores_now());
}

TEST_F(ModuleInHost, RifleWinsOverShotgunHeldWithIt) {
  load();
  press_key(kRowKeys[3]);
  press_key(kRowKeys[4]);
  EXPECT_TRUE(cycles_end_on(6));
}

TEST_F(ModuleInHost, RowsOnOneKeyEndOnTheLaterRow) {
  write_config("[Bindings]\nmachineguns=0x7C\nsubmachine=0x7C\n");
  load();
  press_key(0x7C);
  EXPECT_TRUE(cycles_end_on(4));
}

TEST_F(ModuleInHost, HeldKeyStoresAgainOverTheHostsValue) {
  load();
  press_key(kRowKeys[0]);
  ASSERT_TRUE(wait_for_slot(2, kFewCyclesMs));
  slot_variable() = kHostValue;
  EXPECT_TRUE(wait_for_slot(2, kFewCyclesMs));
}

TEST_F(ModuleInHost, MouseButtonBindingStores) {
  write_config("[Bindings]\nrifle=5\n");  // the first extra mouse button
  load();
  press_key(VK_XBUTTON1);
  EXPECT_TRUE(wait_for_slot(6, kFewCyclesMs));
  release_key(VK_XBUTTON1);
}

// The first 99 characters are octal 0174, F13; the 100th would make the
// code 01745, which no key has.
TEST_F(ModuleInHost, ValueIsCutToNinetyNineCharacters) {
  write_config("[Bindings]\nrifle=" + std::string(96, '0') + "174" + "5\n");
  load();
  press_key(0x7C);
  EXPECT_TRUE(wait_for_slot(6, kFewCyclesMs));
}

TEST_F(ModuleInHost, WithoutFileNothingIsStored) {
  remove_config();
  load();
  for (KeyCode code : kRowKeys) press_key(code);
  EXPECT_TRUE(slot_stays(kHostValue));
  EXPECT_TRUE(bound_key_stores_now());
}

// Under Wine, virtual key 0 reads as down once anything injects it, so an
// unbound category would fire if code 0 were polled.
TEST_F(ModuleInHost, KeyNamesAndOddCodesNeverStore) {
  write_config("[Bindings]\nhandguns=F13\nmachineguns=-124\nsubmachine=0\nshotgun=380\n");
  load();
  for (KeyCode code : kRowKeys) press_key(code);
  press_key(0);
  EXPECT_TRUE(slot_stays(kHostValue));
  release_key(0);
  EXPECT_TRUE(bound_key_stores_now());
}

TEST_F(ModuleInHost, EditedFileTakesEffectNextCycle) {
  load();
  press_key(kRowKeys[3]);
  ASSERT_TRUE(wait_for_slot(3, kFewCyclesMs));
  // Rebind the shotgun to the rifle's key while its old key is still held.
  write_config("[Bindings]\nshotgun=0x80\n");
  Sleep(2 * kCyclePeriodMs);
  slot_variable() = kHostValue;
  EXPECT_TRUE(slot_stays(kHostValue));
  press_key(0x80);
  EXPECT_TRUE(wait_for_slot(3, kFewCyclesMs));
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

struct ProtectionCase {
  const char* name;
  DWORD protection;
};

void PrintTo(const ProtectionCase& protection, std::ostream* out) { *out << protection.name; }

class SlotPageProtected : public ModuleInHost,
                          public testing::WithParamInterface<ProtectionCase> {};

// A slot variable the module may not write is skipped, and the module goes
// on storing once it may.
TEST_P(SlotPageProtected, StoreIsSkippedAndHostSurvives) {
  load();
  void* page = const_cast<std::int32_t*>(&slot_variable());
  DWORD previous;
  ASSERT_TRUE(VirtualProtect(page, sizeof(std::int32_t), GetParam().protection, &previous));
  press_key(kRowKeys[2]);
  Sleep(kFewCyclesMs);
  release_key(kRowKeys[2]);
  // Two polls, so that no press is still pending when the page opens again.
  Sleep(2 * kCyclePeriodMs);
  ASSERT_TRUE(VirtualProtect(page, sizeof(std::int32_t), PAGE_READWRITE, &previous));
  EXPECT_EQ(slot_variable(), kHostValue);
  press_key(kRowKeys[2]);
  EXPECT_TRUE(wait_for_slot(4, kFewCyclesMs));
}

const ProtectionCase kSlotPageProtectedCases[] = {
    {"ReadOnly", PAGE_READONLY},
    {"NoAccess", PAGE_NOACCESS},
    {"Guard", PAGE_READWRITE | PAGE_GUARD},
    {"ExecuteRead", PAGE_EXECUTE_READ},
};

INSTANTIATE_TEST_SUITE_P(Protections, SlotPageProtected, testing::ValuesIn(kSlotPageProtectedCases),
                         CaseName());

}  // namespace
}  // namespace holsterkeys

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  holsterkeys::host::exit_host(RUN_ALL_TESTS());
}
