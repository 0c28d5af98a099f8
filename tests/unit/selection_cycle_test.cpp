#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "selector/selection_cycle.h"

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
  platform.values = {{"handguns", "0x31"}, {"machineguns", "0x32"}, {"submachine", "0x33"},
                     {"shotgun", "0x34"},  {"rifle", "0x35"}};
  return platform;
}

TEST(SelectionCycle, WaitsThenReadsAllBeforePollingInRowOrder) {
  FakePlatform platform = bound_platform();
  run_selection_cycle(platform);
  EXPECT_EQ(platform.calls,
            (Calls{"wait 100", "read handguns", "read machineguns", "read submachine",
                   "read shotgun", "read rifle", "query 49", "query 50", "query 51", "query 52",
                   "query 53"}));
}

struct ActiveKeysCase {
  const char* name;
  std::map<KeyCode, int> states;
  Calls expected_stores;
};

void PrintTo(const ActiveKeysCase& keys, std::ostream* out) { *out << keys.name; }

class ActiveKeys : public testing::TestWithParam<ActiveKeysCase> {};

TEST_P(ActiveKeys, StoreTheSlotOfEveryActiveRowInRowOrder) {
  FakePlatform platform = bound_platform();
  platform.states = GetParam().states;
  run_selection_cycle(platform);
  EXPECT_EQ(platform.stores(), GetParam().expected_stores);
}

INSTANTIATE_TEST_SUITE_P(
    States, ActiveKeys,
    testing::Values(
        ActiveKeysCase{"NoneActiveStoresNothing", {}, {}},
        ActiveKeysCase{"HandgunsDown", {{0x31, 0x8000}}, {"store 2"}},
        ActiveKeysCase{"MachinegunsDown", {{0x32, 0x8000}}, {"store 5"}},
        ActiveKeysCase{"SubmachineDown", {{0x33, 0x8000}}, {"store 4"}},
        ActiveKeysCase{"ShotgunDown", {{0x34, 0x8000}}, {"store 3"}},
        ActiveKeysCase{"RifleDown", {{0x35, 0x8000}}, {"store 6"}},
        // The key-state bits are not told apart: a press since the last
        // query counts as much as a key held down.
        ActiveKeysCase{"PressedSinceLastQueryCounts", {{0x34, 0x0001}}, {"store 3"}},
        ActiveKeysCase{"NegativeStateCounts", {{0x34, -32768}}, {"store 3"}},
        ActiveKeysCase{"ShotgunAndRifleEndOnRifle", {{0x34, 0x8000}, {0x35, 0x8000}},
                       {"store 3", "store 6"}},
        ActiveKeysCase{"AllActiveEndOnRifle",
                       {{0x31, 1}, {0x32, 1}, {0x33, 1}, {0x34, 1}, {0x35, 1}},
                       {"store 2", "store 5", "store 4", "store 3", "store 6"}}),
    [](const testing::TestParamInfo<ActiveKeysCase>& info) { return info.param.name; });

TEST(SelectionCycle, RowsOnOneKeyFireTogetherAndTheLaterWins) {
  FakePlatform platform = bound_platform();
  platform.values["machineguns"] = "0x33";
  platform.states = {{0x33, 0x8000}};
  run_selection_cycle(platform);
  EXPECT_EQ(platform.stores(), (Calls{"store 5", "store 4"}));
}

// Absent, unparsable and negative bindings are polled like any other code.
TEST(SelectionCycle, QueriesUnboundAndOddCodesUnchanged) {
  FakePlatform platform;
  platform.values = {{"machineguns", "-5"}, {"submachine", "F2"}, {"rifle", "300"}};
  run_selection_cycle(platform);
  const Calls queries(platform.calls.end() - 5, platform.calls.end());
  EXPECT_EQ(queries, (Calls{"query 0", "query -5", "query 0", "query 0", "query 300"}));
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
