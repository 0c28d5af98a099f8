#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "selector/selection_cycle.h"
#include "tests/case_name.h"

namespace holsterkeys {
namespace {

// Records every platform call of a cycle as one line of text, in order.
class FakePlatform {
 public:
  std::map<std::string, std::string> values;  // configuration key -> text
  std::map<KeyCode, int> states;              // key code -> key state
  std::vector<std::string> calls;

  void wait_ms(unsigned ms) { calls.push_back("wait " + std::to_string(ms)); }
  void read_value(const char* key, ValueText& value) {
    calls.push_back(std::string("read ") + key);
    const std::string& text = values[key];
    value[text.copy(value, kValueSize - 1)] = '\0';
  }
  int key_state(KeyCode code) {
    calls.push_back("query " + std::to_string(code));
    return states[code];
  }
  void store_slot(SlotNumber slot) { calls.push_back("store " + std::to_string(slot)); }

  std::vector<std::string> stores() const {
    std::vector<std::string> result;
    for (const auto& call : calls) {
      if (call.starts_with("store")) result.push_back(call);
    }
    return result;
  }
};

using Calls = std::vector<std::string>;

// Bindings on distinct keys 0x31..0x35 in row order.
FakePlatform bound_platform() {
  FakePlatform platform;
  platform.values = {{"handguns", "0x31"},
                     {"machineguns", "0x32"},
                     {"submachine", "0x33"},
                     {"shotgun", "0x34"},
                     {"rifle", "0x35"}};
  return platform;
}

TEST(SelectionCycle, WaitsThenReadsAllBeforePollingInRowOrder) {
  FakePlatform platform = bound_platform();
  run_selection_cycle(platform);
  EXPECT_EQ(platform.calls, (Calls{"wait 100", "read handguns", "read machineguns",
                                   "read submachine", "read shotgun", "read rifle", "query 49",
                                   "query 50", "query 51", "query 52", "query 53"}));
}

struct ActiveKeysCase {
  const char* name;
  std::map<KeyCode, int> states;
  Calls expected_stores;
  std::map<std::string, std::string> changed_values = {};  // over the distinct keys
};

void PrintTo(const ActiveKeysCase& keys, std::ostream* out) { *out << keys.name; }

class ActiveKeys : public testing::TestWithParam<ActiveKeysCase> {};

FakePlatform platform_for(const ActiveKeysCase& keys) {
  FakePlatform platform = bound_platform();
  platform.states = keys.states;
  for (const auto& [name, text] : keys.changed_values) platform.values[name] = text;
  return platform;
}

TEST_P(ActiveKeys, StoreTheSlotOfEveryActiveRowInRowOrder) {
  FakePlatform platform = platform_for(GetParam());
  run_selection_cycle(platform);
  EXPECT_EQ(platform.stores(), GetParam().expected_stores);
}

// The tools' view of a cycle ends where the cycle's stores end.
TEST_P(ActiveKeys, OutcomeIsTheLastStore) {
  FakePlatform platform = platform_for(GetParam());
  const auto outcome = cycle_outcome(platform, [&](KeyCode code) { return platform.states[code]; });
  const Calls& stores = GetParam().expected_stores;
  EXPECT_EQ(outcome ? "store " + std::to_string(*outcome) : "none",
            stores.empty() ? "none" : stores.back());
}

const ActiveKeysCase kActiveKeysCases[] = {
    {"NoneActiveStoresNothing", {}, {}},
    {"HandgunsDown", {{0x31, 0x8000}}, {"store 2"}},
    {"MachinegunsDown", {{0x32, 0x8000}}, {"store 5"}},
    {"SubmachineDown", {{0x33, 0x8000}}, {"store 4"}},
    {"ShotgunDown", {{0x34, 0x8000}}, {"store 3"}},
    {"RifleDown", {{0x35, 0x8000}}, {"store 6"}},
    // The key-state bits are not told apart: a press since the last
    // query counts as much as a key held down.
    {"PressedSinceLastQueryCounts", {{0x34, 0x0001}}, {"store 3"}},
    {"NegativeStateCounts", {{0x34, -32768}}, {"store 3"}},
    {"ShotgunAndRifleEndOnRifle", {{0x34, 0x8000}, {0x35, 0x8000}}, {"store 3", "store 6"}},
    {"AllActiveEndOnRifle",
     {{0x31, 1}, {0x32, 1}, {0x33, 1}, {0x34, 1}, {0x35, 1}},
     {"store 2", "store 5", "store 4", "store 3", "store 6"}},
    // Some platforms report code 0 as down; an unbound row must not fire.
    {"UnboundRowNeverFiresOnCodeZero", {{0, 0x8000}}, {}, {{"rifle", ""}}},
    {"KeyNameNeverFiresOnCodeZero", {{0, 1}}, {}, {{"shotgun", "F2"}}},
    {"CodesNoKeyHasNeverFire",
     {{-5, 0x8000}, {300, 0x8000}},
     {},
     {{"handguns", "-5"}, {"rifle", "300"}}},
    {"HighestKeyCodeFires", {{255, 0x8000}}, {"store 6"}, {{"rifle", "255"}}},
    {"ThreeRowsOnOneKeyEndOnTheLast",
     {{0x35, 0x8000}},
     {"store 2", "store 4", "store 6"},
     {{"handguns", "0x35"}, {"submachine", "53"}}},
};

INSTANTIATE_TEST_SUITE_P(States, ActiveKeys, testing::ValuesIn(kActiveKeysCases), CaseName());

TEST(SelectionCycle, RowsOnOneKeyFireTogetherAndTheLaterWins) {
  FakePlatform platform = bound_platform();
  platform.values["machineguns"] = "0x33";
  platform.states = {{0x33, 0x8000}};
  run_selection_cycle(platform);
  EXPECT_EQ(platform.stores(), (Calls{"store 5", "store 4"}));
}

// Absent, unparsable, negative and too large codes name no key, so they
// are never polled; the codes of keys are passed on unchanged.
TEST(SelectionCycle, PollsOnlyCodesThatKeysHave) {
  FakePlatform platform;
  platform.values = {{"handguns", "1"},
                     {"machineguns", "-5"},
                     {"submachine", "F2"},
                     {"shotgun", "0xFF"},
                     {"rifle", "300"}};
  run_selection_cycle(platform);
  const Calls queries(platform.calls.begin() + 6, platform.calls.end());
  EXPECT_EQ(queries, (Calls{"query 1", "query 255"}));
  EXPECT_TRUE(platform.stores().empty());
}

// Nothing is kept between cycles: a binding edited in between is used at
// once, and the old key no longer stores.
TEST(SelectionCycle, EditedBindingTakesEffectNextCycle) {
  FakePlatform platform = bound_platform();
  platform.states = {{0x34, 0x8000}};
  run_selection_cycle(platform);
  platform.values["shotgun"] = "0x39";
  run_selection_cycle(platform);
  platform.states = {{0x39, 0x8000}};
  run_selection_cycle(platform);
  EXPECT_EQ(platform.stores(), (Calls{"store 3", "store 3"}));
}

}  // namespace
}  // namespace holsterkeys
