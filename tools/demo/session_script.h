// The demo's session scripts: one step a line, such as "press shotgun",
// "release shotgun", "tap rifle", "wait 300" or "set shotgun 0x34".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bindings/bindings.h"

namespace holsterkeys {

struct SessionStep {
  enum class Action { kPress, kRelease, kTap, kWait, kSet };
  Action action;
  // press, release, tap and set: a category, or for press, release and tap
  // also a key given by code or name, which `key` then holds.
  const Category* category = nullptr;
  std::optional<KeyCode> key;
  int milliseconds = 0;  // wait, and how long tap holds the key
  std::string value;     // set: the new value text
  int line = 0;
};

struct SessionScript {
  std::vector<SessionStep> steps;
  std::vector<std::string> errors;  // "line N: what was expected"
};

// Blank lines and lines starting with '#' are skipped.
SessionScript parse_session_script(std::string_view text);

}  // namespace holsterkeys
