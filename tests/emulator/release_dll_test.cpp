// The 32-bit release DLL, the bytes players download, run on an x86
// emulator in a process of stubs: the loader's calls, then the worker cycle
// by cycle against the selection cycle's own outcome for the same file and
// keys. It runs on any host, one that runs no 32-bit programs included.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "selector/selection_cycle.h"
#include "tests/case_name.h"
#include "tests/emulator/emulated_process.h"

namespace holsterkeys::emulator {
namespace {

const PeImage& release_dll() {
  static const PeImage image = read_pe_image(HOLSTERKEYS_RELEASE_DLL);
  return image;
}

using KeyScript = std::function<std::uint16_t(int cycle, KeyCode code)>;

constexpr std::uint16_t kDown = 0x8000;          // down at the moment of the query
constexpr std::uint16_t kPressedSince = 0x0001;  // pressed since the last query

// The keys down in each cycle, counted from 1.
KeyScript held(std::map<int, std::map<KeyCode, std::uint16_t>> by_cycle) {
  return [by_cycle](int cycle, KeyCode code) -> std::uint16_t {
    const auto keys = by_cycle.find(cycle);
    if (keys == by_cycle.end()) return 0;
    const auto key = keys->second.find(code);
    return key == keys->second.end() ? 0 : key->second;
  };
}

// Every code reads as down, as Wine reports code 0 once anything has sent it.
KeyScript every_key_down() {
  return [](int, KeyCode) { return kDown; };
}

std::string file_with(const std::string& lines) { return "[Bindings]\r\n" + lines; }

// The selection cycle's own outcome for one cycle, in the emulated
// process's words: the module's platform queries the slot page before each
// store and stores only where the page is writable.
std::vector<std::string> model_cycle(const std::optional<std::string>& file, const KeyScript& keys,
                                     int cycle, bool writable) {
  struct Model {
    const std::optional<std::string>& file;
    const KeyScript& keys;
    int cycle;
    bool writable;
    std::vector<std::string> events;
    void wait_ms(unsigned ms) { events.push_back(wait_event(ms)); }
    void read_value(const char* name, ValueText& value) {
      events.push_back(profile_read_event(kConfigSection, name, "", kValueSize, kConfigPath));
      const std::string text = profile_value(file, kConfigSection, name, "", kValueSize);
      std::memcpy(value, text.c_str(), text.size() + 1);
    }
    int key_state(KeyCode code) {
      events.push_back(key_query_event(code));
      return keys(cycle, code);
    }
    void store_slot(SlotNumber slot) {
      events.push_back(slot_query_event(static_cast<std::uint32_t>(kSlotAddress), 28));
      if (writable) events.push_back(slot_store_event(slot));
    }
  } model{file, keys, cycle, writable, {}};
  run_selection_cycle(model);
  return model.events;
}

std::optional<std::string> file_in_cycle(const std::map<int, std::optional<std::string>>& files,
                                         int cycle) {
  std::optional<std::string> file;
  for (const auto& [from, bytes] : files) {
    if (from <= cycle) file = bytes;
  }
  return file;
}

struct Scenario {
  const char* name;
  std::map<int, std::optional<std::string>> files;
  KeyScript keys;
  int cycles;
  std::optional<SlotNumber> slot_at_end;  // what the host's variable ends with; none: never stored
  SlotPage page = SlotPage::kWritable;
  std::uint32_t load_base = 0;
};

std::ostream& operator<<(std::ostream& out, const Scenario& scenario) {
  return out << scenario.name;
}

const std::string kAllFive = file_with(
    "handguns=0x31\r\nmachineguns=0x32\r\nsubmachine=0x33\r\nshotgun=0x34\r\nrifle=0x35\r\n");
// 96 blanks and "0x3" fill the 99 characters the module reads; the "2"
// after them would make the code 0x32.
const std::string kCutChangesTheCode = file_with("handguns=" + std::string(96, ' ') + "0x32\r\n");

const Scenario kScenarios[] = {
    {"EveryCategoryStoresItsSlot",
     {{1, kAllFive}},
     held({{1, {{0x31, kDown}}},
           {2, {{0x32, kDown}}},
           {3, {{0x33, kPressedSince}}},
           {4, {{0x34, kDown | kPressedSince}}},
           {5, {{0x35, kDown}}}}),
     5,
     6},
    {"LastActiveRowWins",
     {{1, kAllFive}},
     held(
         {{1, {{0x34, kDown}, {0x35, kDown}}}, {2, {{0x31, kDown}, {0x32, kDown}, {0x33, kDown}}}}),
     2,
     4},
    {"TwoRowsOnOneCode",
     {{1, file_with("machineguns=0x45\r\nsubmachine=0x45\r\n")}},
     held({{1, {{0x45, kDown}}}}),
     1,
     4},
    {"ValueCutAtNinetyNineCharactersChangesTheCode",
     {{1, kCutChangesTheCode}},
     held({{1, {{0x32, kDown}}}, {2, {{0x03, kDown}}}}),
     2,
     2},
    {"UnboundAndUnparsableNeverPolled",
     {{1, file_with("handguns=F2\r\nmachineguns=0\r\nsubmachine=-5\r\nshotgun=300\r\nrifle=\r\n")}},
     every_key_down(),
     2,
     std::nullopt},
    {"NoFile", {}, every_key_down(), 2, std::nullopt},
    {"EditTakesEffectAtTheNextCycle",
     {{1, file_with("shotgun=0x33\r\n")}, {3, file_with("shotgun=0x34\r\n")}},
     held({{1, {{0x33, kDown}}}, {2, {{0x33, kDown}}}, {3, {{0x33, kDown}}}, {4, {{0x33, kDown}}}}),
     4,
     3},
    {"FileDeletedWhileRunning",
     {{1, file_with("rifle=0x35\r\n")}, {2, std::nullopt}},
     every_key_down(),
     3,
     6},
    {"FreeSlotPageNeverStored",
     {{1, kAllFive}},
     held({{1, {{0x31, kDown}}}}),
     1,
     std::nullopt,
     SlotPage::kFree},
    {"ReservedSlotPageNeverStored",
     {{1, kAllFive}},
     held({{1, {{0x31, kDown}}}}),
     1,
     std::nullopt,
     SlotPage::kReserved},
    {"ReadOnlySlotPageNeverStored",
     {{1, kAllFive}},
     held({{1, {{0x31, kDown}}}}),
     1,
     std::nullopt,
     SlotPage::kReadOnly},
    {"NoAccessSlotPageNeverStored",
     {{1, kAllFive}},
     held({{1, {{0x31, kDown}}}}),
     1,
     std::nullopt,
     SlotPage::kNoAccess},
    {"GuardSlotPageNeverStored",
     {{1, kAllFive}},
     held({{1, {{0x31, kDown}}}}),
     1,
     std::nullopt,
     SlotPage::kGuard},
    {"SlotPageThatCannotBeQueriedNeverStored",
     {{1, kAllFive}},
     held({{1, {{0x31, kDown}}}}),
     1,
     std::nullopt,
     SlotPage::kQueryFails},
    {"LoadedAtAnotherBase",
     {{1, kAllFive}},
     held({{1, {{0x35, kDown}}}, {2, {{0x31, kDown}}}}),
     2,
     2,
     SlotPage::kWritable,
     0x10000000},
};

class ReleaseDll : public testing::TestWithParam<Scenario> {};

// Each cycle makes the calls the selection cycle makes, with the same
// arguments, in the same order, and stores what it stores.
TEST_P(ReleaseDll, RunsCycleByCycleAsTheSelectionCycle) {
  const Scenario& scenario = GetParam();
  EmulatedProcess process(release_dll(), {scenario.load_base, scenario.page, false, false, false,
                                          scenario.files, scenario.keys});
  ASSERT_EQ(process.missing_stubs, std::vector<std::string>{});
  process.attach();
  ASSERT_TRUE(process.worker_created());
  process.run_worker(scenario.cycles);
  process.detach();
  EXPECT_EQ(process.faults, std::vector<std::string>{});
  if (scenario.load_base != 0) {
    EXPECT_EQ(process.base(), scenario.load_base);
  }
  ASSERT_EQ(process.cycles.size(), static_cast<std::size_t>(scenario.cycles) + 1);
  EXPECT_EQ(process.cycles[0], std::vector<std::string>{}) << "the worker began before its wait";
  for (int cycle = 1; cycle <= scenario.cycles; ++cycle) {
    EXPECT_EQ(process.cycles[cycle],
              model_cycle(file_in_cycle(scenario.files, cycle), scenario.keys, cycle,
                          scenario.page == SlotPage::kWritable))
        << "cycle " << cycle;
  }
  EXPECT_EQ(process.slot_value(), scenario.slot_at_end.value_or(0));
}

INSTANTIATE_TEST_SUITE_P(Scenarios, ReleaseDll, testing::ValuesIn(kScenarios), CaseName());

// The first cycle spelled out, independently of the model: the wait, then
// the five reads in row order with the module's exact arguments, then the
// bound key, then the guarded store.
TEST(ReleaseDllCycle, WaitsThenReadsAllFiveBeforeAnyQuery) {
  EmulatedProcess process(release_dll(), {0,
                                          SlotPage::kWritable,
                                          false,
                                          false,
                                          false,
                                          {{1, file_with("rifle=0x35\r\n")}},
                                          held({{1, {{0x35, kDown}}}})});
  process.attach();
  process.run_worker(1);
  const auto read = [](const char* key) {
    return "GetPrivateProfileStringA(\"Bindings\", \"" + std::string(key) +
           "\", \"\", 100, \".\\holsterkeys.ini\")";
  };
  EXPECT_EQ(
      process.cycles.at(1),
      (std::vector<std::string>{
          "Sleep(100)", read("handguns"), read("machineguns"), read("submachine"), read("shotgun"),
          read("rifle"), "GetAsyncKeyState(53)", "VirtualQuery(0x00B7CDBC, 28)", "store 6"}));
}

// What the module itself asks of the loader's world, in order, among the C
// runtime's own calls.
std::vector<std::string> module_calls(const std::vector<std::string>& events) {
  std::vector<std::string> calls;
  for (const std::string& event : events) {
    for (const char* function : {"DllMain", "DisableThreadLibraryCalls", "GetModuleHandleExW",
                                 "CreateThread", "CloseHandle"}) {
      if (event.starts_with(function)) calls.push_back(event);
    }
  }
  return calls;
}

struct Start {
  const char* name;
  bool pinning_fails;
  bool thread_creation_fails;
  std::vector<std::string> calls;
};

std::ostream& operator<<(std::ostream& out, const Start& start) { return out << start.name; }

const std::string kAttach = "DllMain(DLL_PROCESS_ATTACH) on the loading thread";
const std::string kDetach = "DllMain(DLL_PROCESS_DETACH) on the exiting thread";
const std::string kNoThreadCalls = "DisableThreadLibraryCalls(the module)";
// GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS.
const std::string kPin = "GetModuleHandleExW(0x00000005, an address in the module)";
const std::string kCreate =
    "CreateThread(0x00000000, 0, a procedure in the module, 0x00000000, 0x00000000, 0x00000000)";

const Start kStarts[] = {
    {"Starts",
     false,
     false,
     {kAttach, kNoThreadCalls, kPin, kCreate, "CloseHandle(0x000007E1)", kDetach}},
    {"PinningFails", true, false, {kAttach, kNoThreadCalls, kPin, kDetach}},
    {"ThreadCreationFails", false, true, {kAttach, kNoThreadCalls, kPin, kCreate, kDetach}},
};

class ReleaseDllStart : public testing::TestWithParam<Start> {};

// The entry point answers TRUE whatever fails, starts no worker it cannot
// pin, and closes the one handle it gets; thread attach reaches only the
// C runtime's TLS callbacks.
TEST_P(ReleaseDllStart, MakesTheLoadersCallsAndAnswersTrue) {
  const Start& start = GetParam();
  EmulatedProcess process(
      release_dll(),
      {0, SlotPage::kWritable, start.pinning_fails, start.thread_creation_fails, false, {}, {}});
  process.attach();
  EXPECT_EQ(process.worker_created(), !start.pinning_fails && !start.thread_creation_fails);
  process.run_worker(1);
  process.detach();
  EXPECT_EQ(process.faults, std::vector<std::string>{});
  EXPECT_EQ(module_calls(process.loader_events), start.calls);
}

INSTANTIATE_TEST_SUITE_P(Starts, ReleaseDllStart, testing::ValuesIn(kStarts), CaseName());

// A host that has libgcc_s_dw2-1.dll loaded gets the module's unwind frames
// registered at attach and taken back at exit, and the module still works.
TEST(ReleaseDllRuntime, RegistersItsFramesWithTheHostsLibgcc) {
  EmulatedProcess process(
      release_dll(),
      {0, SlotPage::kWritable, false, false, true, {{1, kAllFive}}, held({{1, {{0x34, kDown}}}})});
  process.attach();
  process.run_worker(1);
  process.detach();
  EXPECT_EQ(process.faults, std::vector<std::string>{});
  EXPECT_EQ(process.slot_value(), 3);
  std::vector<std::string> libgcc;
  for (const std::string& event : process.loader_events) {
    if (event.starts_with("LoadLibraryA") || event.starts_with("FreeLibrary") ||
        event.find("frame_info(") != std::string::npos) {
      libgcc.push_back(event);
    }
  }
  EXPECT_EQ(libgcc,
            (std::vector<std::string>{
                "LoadLibraryA(\"libgcc_s_dw2-1.dll\")", "__register_frame_info(in .eh_fram)",
                "__deregister_frame_info(in .eh_fram)", "FreeLibrary(0x6E940000)"}));
}

}  // namespace
}  // namespace holsterkeys::emulator
