// One pass of the selection cycle: wait, read the bindings, poll the bound
// keys in row order and store the slot number of every active row.
//
// The platform is injected, so the cycle is exercised natively with a fake
// and runs inside the host through the Windows platform of the module.
#pragma once

#include <cstdint>

#include "bindings/bindings.h"

namespace holsterkeys {

// The host's 32-bit slot variable, the only datum shared with the host.
inline constexpr std::uintptr_t kSlotAddress = 0x00B7CDBC;
inline constexpr unsigned kCyclePeriodMs = 100;

// Besides reading the configuration, a selector platform waits, reports the
// state of a key (non-zero while it is down or was pressed since the last
// query) and stores a slot number into the host.
template <class Platform>
concept SelectorPlatform =
    ProfileReader<Platform> &&
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
  // Each active row stores at once, so the last active row wins.
  for (std::size_t row = 0; row < kBindingCount; ++row) {
    if (platform.key_state(codes[row]) != 0) {
      platform.store_slot(kBindings[row].slot);
    }
  }
}

}  // namespace holsterkeys
