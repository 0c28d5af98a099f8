// holsterkeys-check --keys: press a key, see its code and what the module
// does with it, read through the module's own reader and cycle.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "advice/diagnosis.h"
#include "bindings/category_names.h"
#include "keys/key_names.h"
#include "live/key_watch.h"
#include "module/windows_profile_file.h"
#include "selector/selection_cycle.h"
#include "tools/check/live.h"

namespace holsterkeys {
namespace {

constexpr KeyCode kEsc = 0x1B;

std::string key_column(KeyCode code) {
  char text[64];
  std::snprintf(text, sizeof text, "0x%02X (%3d)  %-14s", static_cast<unsigned>(code),
                static_cast<int>(code), shown_key_name(code).c_str());
  return text;
}

// The slot the module's cycle stores while exactly `held` are down, with
// the configuration as it reads it now.
std::optional<SlotNumber> slot_for(const std::set<KeyCode>& held) {
  const WindowsProfileFile config;
  return cycle_outcome(config, [&](KeyCode code) { return held.contains(code) ? 0x8000 : 0; });
}

// The category that a new key suits best: the first in slot order whose
// binding names no key, or else the first of all.
const Category& free_category() {
  const WindowsProfileFile config;
  const KeyCodes codes = read_key_codes(config);
  const Category* free = nullptr;
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    const bool earlier = free == nullptr || kCategories[row].slot < free->slot;
    if (!is_key_code(codes[row]) && earlier) free = &kCategories[row];
  }
  return free != nullptr ? *free : kCategories[0];
}

// "handguns -> slot 2", or the line that binds the key.
std::string what_it_selects(KeyCode code) {
  if (const auto slot = slot_for({code})) {
    return std::string(category_with_slot(*slot)->name) + " -> slot " + std::to_string(*slot);
  }
  const Category& free = free_category();
  const std::string danger = press_danger(code, free);
  if (!danger.empty()) return "not bound; better not bind it: " + danger;
  return "not bound; to bind it, write " + std::string(free.name) + "=" + hex_code(code);
}

// Bound keys held together all fire, and the cycle's last active row wins.
std::string winner_among(const std::set<KeyCode>& held) {
  std::string bound;
  int count = 0;
  for (KeyCode code : held) {
    if (!slot_for({code})) continue;
    bound += (count++ == 0 ? "" : " and ") + shown_key_name(code);
  }
  const auto slot = slot_for(held);
  if (count < 2 || !slot) return {};
  return "; " + bound + " held together: " + category_with_slot(*slot)->name + " wins -> slot " +
         std::to_string(*slot);
}

void print_start() {
  std::printf(
      "Press keys or mouse buttons to see their codes and what holsterkeys does with "
      "them. Esc or Ctrl+C ends.%s\n",
      where_keys_arrive().c_str());
  std::fflush(stdout);
}

}  // namespace

std::string where_keys_arrive() {
  if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr) return {};
  return " Under Wine, keys reach Wine programs only while a Wine window has the focus: press "
         "them in the running game's window, or run this in Wine's own console (wineconsole "
         "holsterkeys-check.exe ...).";
}

int watch_keys() {
  static volatile bool stop = false;
  stop_on_ctrl_c(stop);
  print_start();
  KeyWatch watch;
  const ULONGLONG start = GetTickCount64();
  while (!stop) {
    for (KeyCode code : watch.next_presses(stop)) {
      if (code == kEsc) return 0;
      const double seconds = static_cast<double>(GetTickCount64() - start) / 1000.0;
      std::printf("%8.3f s  %s  %s%s\n", seconds, key_column(code).c_str(),
                  what_it_selects(code).c_str(), winner_among(watch.held()).c_str());
      std::fflush(stdout);
    }
  }
  return 0;
}

}  // namespace holsterkeys
