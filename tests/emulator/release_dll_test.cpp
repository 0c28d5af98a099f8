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
#include "tests/module_scenarios.h"

namespace holsterkeys::emulator {
namespace {

const PeImage& release_dll() {
  static const PeImage image = read_pe_image(HOLSTERKEYS_RELEASE_DLL);
  return image;
}

using scenarios::Protection;
using scenarios::Scenario;
using scenarios::SlotHome;

using KeyScript = std::function<std::uint16_t(int cycle, KeyCode code)>;

// The keys down in each cycle, counted from 1.
KeyScript held(std::map<int, std::map<KeyCode, std::uint16_t>> by_cycle) {
  return [by_cycle](int cycle, KeyCode code) -> std::uint16_t {
    const auto keys = by_cycle.find(cycle);
    if (keys == by_cycle.end()) return 0;
    const auto key = keys->second.find(code);
    return key == keys->second.end() ? 0 : key->second;
  };
}

using program_headers::Damage;

// Whether the headers of the host's own program put the slot in a writable
// section: a game's do, unless damaged; a program's that claim it do too.
bool headers_hold_the_slot(const Scenario& scenario) {
  return scenario.headers == Damage::kClaimsTheSlot ||
         (scenario.headers == Damage::kNone && scenario.home == SlotHome::kMainImage);
}

// What the worker asks before its first wait: the process's own program,
// and the page of its headers where there is one.
std::vector<std::string> worker_start(const Scenario& scenario) {
  if (scenario.headers == Damage::kNoMainImage) return {"GetModuleHandleA(NULL)"};
  return {"GetModuleHandleA(NULL)", slot_query_event(kMainImageBase, 28)};
}

// The selection cycle's own outcome for one cycle of a scenario, in the
// emulated process's words: where the headers put the slot in a writable
// section, the module's platform queries the slot page before each store,
// and stores only where the page is writable and the program's own.
std::vector<std::string> model_cycle(const Scenario& scenario, int cycle) {
  struct Model {
    const Scenario& scenario;
    int cycle;
    std::optional<std::string> file;
    std::vector<std::string> events;
    void wait_ms(unsigned ms) { events.push_back(wait_event(ms)); }
    void read_value(const char* name, ValueText& value) {
      events.push_back(profile_read_event(kConfigSection, name, "", kValueSize, kConfigPath));
      const std::string text = profile_value(file, kConfigSection, name, "", kValueSize);
      std::memcpy(value, text.c_str(), text.size() + 1);
    }
    int key_state(KeyCode code) {
      events.push_back(key_query_event(code));
      return scenario.key_state(cycle, code);
    }
    void store_slot(SlotNumber slot) {
      if (!headers_hold_the_slot(scenario)) return;
      events.push_back(slot_query_event(static_cast<std::uint32_t>(kSlotAddress), 28));
      if (scenario.home == SlotHome::kMainImage &&
          scenario.protection_in(cycle) == Protection::kReadWrite) {
        events.push_back(slot_store_event(slot));
      }
    }
  } model{scenario, cycle, scenario.file_in(cycle), {}};
  run_selection_cycle(model);
  return model.events;
}

// Where the emulator puts a DLL whose own base it does not give it.
constexpr std::uint32_t kAnotherBase = 0x10000000;

// The headers of the host's own program: a game's where the slot lies in
// it, else a small program's, damaged as the scenario says.
std::optional<std::vector<std::uint8_t>> main_image_headers(const Scenario& scenario) {
  if (scenario.headers == Damage::kNoMainImage) return std::nullopt;
  std::vector<std::uint8_t> headers =
      scenario.home == SlotHome::kMainImage
          ? program_headers::game_headers(kMainImageBase, program_headers::kPe32)
          : program_headers::small_program_headers(kMainImageBase, program_headers::kPe32);
  program_headers::damage(headers, kMainImageBase, scenario.headers);
  return headers;
}

ProcessSetup setup_for(const Scenario& scenario) {
  return {.load_base = scenario.loaded_elsewhere ? kAnotherBase : 0,
          .main_image_headers = main_image_headers(scenario),
          .main_image_headers_readable = scenario.headers != Damage::kUnreadable,
          .slot_home = scenario.home,
          .slot_protection = [&scenario](int cycle) { return scenario.protection_in(cycle); },
          .files = scenario.files,
          .key_state = [&scenario](int cycle,
                                   KeyCode code) { return scenario.key_state(cycle, code); }};
}

class ReleaseDll : public testing::TestWithParam<Scenario> {};

// Each cycle makes the calls the selection cycle makes, with the same
// arguments, in the same order, and stores what it stores; after each, the
// slot holds the step's slot number or still the host's value.
TEST_P(ReleaseDll, RunsCycleByCycleAsTheSelectionCycle) {
  const Scenario& scenario = GetParam();
  EmulatedProcess process(release_dll(), setup_for(scenario));
  ASSERT_EQ(process.missing_stubs, std::vector<std::string>{});
  process.attach();
  ASSERT_TRUE(process.worker_created());
  process.run_worker(scenario.steps());
  process.detach();
  EXPECT_EQ(process.faults, std::vector<std::string>{});
  if (scenario.loaded_elsewhere) {
    EXPECT_EQ(process.base(), kAnotherBase);
    EXPECT_NE(process.base(), release_dll().image_base);
  }
  ASSERT_EQ(process.cycles.size(), static_cast<std::size_t>(scenario.steps()) + 1);
  EXPECT_EQ(process.cycles[0], worker_start(scenario))
      << "the worker asks about the process's own program, once, before its first wait";
  std::vector<std::int32_t> expected_slots;
  for (int cycle = 1; cycle <= scenario.steps(); ++cycle) {
    EXPECT_EQ(process.cycles[cycle], model_cycle(scenario, cycle)) << "cycle " << cycle;
    expected_slots.push_back(scenario.slots[cycle - 1].value_or(scenarios::kHostValue));
  }
  EXPECT_EQ(process.slot_after_cycles, expected_slots);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, ReleaseDll, testing::ValuesIn(scenarios::all()), CaseName());

// The first cycle spelled out, independently of the model: the wait, then
// the five reads in row order with the module's exact arguments, then the
// bound key, then the guarded store into a game's own program.
TEST(ReleaseDllCycle, WaitsThenReadsAllFiveBeforeAnyQuery) {
  EmulatedProcess process(release_dll(), {.files = {{1, scenarios::file_with("rifle=0x35\r\n")}},
                                          .key_state = held({{1, {{0x35, scenarios::kDown}}}})});
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
// runtime's own calls. Its own program is the worker's to look up, never
// the entry point's.
std::vector<std::string> module_calls(const std::vector<std::string>& events) {
  std::vector<std::string> calls;
  for (const std::string& event : events) {
    for (const char* function : {"DllMain", "DisableThreadLibraryCalls", "GetModuleHandleExW",
                                 "GetModuleHandleA(NULL)", "CreateThread", "CloseHandle"}) {
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
  EmulatedProcess process(release_dll(), {.pinning_fails = start.pinning_fails,
                                          .thread_creation_fails = start.thread_creation_fails});
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
  EmulatedProcess process(release_dll(),
                          {.host_has_libgcc = true,
                           .files = {{1, scenarios::kAllFive}},
                           .key_state = held({{1, {{scenarios::kF16, scenarios::kDown}}}})});
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
