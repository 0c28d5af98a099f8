// What the module promises its host, and all it knows of it: the file it
// reads its bindings from, and the variable it stores the selected slot
// into. Both are fixed; the tools quote them from here.
#pragma once

#include <cstdint>

namespace holsterkeys {

// Resolved against the host's current directory at every read, not against
// the module's folder.
inline constexpr char kConfigPath[] = ".\\holsterkeys.ini";
inline constexpr char kConfigSection[] = "Bindings";

// The host's 32-bit slot variable, the only datum shared with the host.
inline constexpr std::uintptr_t kSlotAddress = 0x00B7CDBC;

}  // namespace holsterkeys
