// One pass of the selection cycle: wait, read the bindings, poll the bound
// keys in row order and store the slot number of every active row.
//
// The platform is injected, so the cycle is exercised natively with a fake
// and runs inside the host through the Windows platform of the module.
#pragma once

#include <cstdint>
#include <optional>

#include "bindings/bindings.h"

namespace holsterkeys {

inline constexpr unsigned kCyclePeriodMs = 100;

// Besides reading the configuration, a selector platform waits, reports the
// state of a key (non-zero while it is down or was pressed since the last
// query) and stores a slot number into the host.
template <class Platform>
concept SelectorPlatform = ProfileReader<Platform> &&
    requires(Platform& platform, unsigned ms, KeyCode code, SlotNumber slot) {
  platform.wait_ms(ms);
  { platform.key_state(code) } -> std::convertible_to<int>;
  platform.store_slot(slot);
};

template <SelectorPlatform Platform>
void run_selection_cycle(Platform& platform) {
  // The wait comes first, so the first poll is one period after start.
  platform.wait_ms(kCyclePeriodMs);
  const KeyCodes codes = read_key_codes(platform);
  // Each active row stores at once, so the last active row wins. A code
  // that no key has is never polled: some platforms report even code 0 as
  // down, and an unbound category must never fire.
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    if (is_key_code(codes[row]) && platform.key_state(codes[row]) != 0) {
      platform.store_slot(kCategories[row].slot);
    }
  }
}

// The slot one cycle would leave in the host for the key states that
// `key_state` reports, with the configuration `reader` reads: the real cycle
// without its wait and without the store. Nothing when no row fires. The
// tools use it to show what the module does.
template <ProfileReader Reader, class KeyState>
std::optional<SlotNumber> cycle_outcome(Reader& reader, KeyState key_state) {
  struct Probe {
    Reader& reader;
    KeyState& state_of;
    std::optional<SlotNumber> slot;
    void wait_ms(unsigned) {}
    void read_value(const char* name, ValueText& value) { reader.read_value(name, value); }
    int key_state(KeyCode code) { return state_of(code); }
    void store_slot(SlotNumber stored) { slot = stored; }
  } probe{reader, key_state, std::nullopt};
  run_selection_cycle(probe);
  return probe.slot;
}

}  // namespace holsterkeys
