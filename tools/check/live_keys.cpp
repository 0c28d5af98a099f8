// holsterkeys-check --keys: press a key, see its code and what the module
// does with it, read through the module's own reader and cycle. The line it
// offers to write is proven on the file as the checker's findings are.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "advice/diagnosis.h"
#include "advice/finding_text.h"
#include "advice/module_view.h"
#include "bindings/category_names.h"
#include "keys/key_names.h"
#include "live/key_watch.h"
#include "module/windows_profile_file.h"
#include "selector/selection_cycle.h"
#include "text/say.h"
#include "tools/check/console.h"
#include "tools/check/live.h"

namespace holsterkeys {
namespace {

std::string key_column(KeyCode code) {
  char text[64];
  std::snprintf(text, sizeof text, "0x%02X (%3d)  ", static_cast<unsigned>(code),
                static_cast<int>(code));
  // The key's name padded to 14 characters, each UTF-8 character once.
  std::string name = shown_key_name(code);
  std::size_t characters = 0;
  for (char c : name) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  if (characters < 14) name.append(14 - characters, ' ');
  return text + name;
}

// The slot the module's cycle stores while exactly `held` are down, with
// the configuration as it reads it now.
std::optional<SlotNumber> slot_for(const std::set<KeyCode>& held) {
  const WindowsProfileFile config;
  return cycle_outcome(config, [&](KeyCode code) { return held.contains(code) ? 0x8000 : 0; });
}

// The category that a new key suits best: the first in slot order whose
// binding names no key, or else the first of all.
const Category& free_category(const BindingReadings& readings) {
  for (const Category* category : categories_by_slot()) {
    if (!is_key_code(readings[row_of(*category)].number.code)) return *category;
  }
  return *categories_by_slot().front();
}

// Why the key had better not be bound, as the third column says it.
std::string not_to_bind(KeyCode code, const Category& category) {
  const auto named = fact<Fact::kCategory>(category.name);
  switch (press_danger(code)) {
    case PressDanger::kFires:
      return say(
          "not bound; better not bind it: it fires, so every shot would also switch to "
          "{category}",
          named);
    case PressDanger::kAims:
      return say(
          "not bound; better not bind it: it aims, so every time you aim the game would "
          "switch to {category}",
          named);
    case PressDanger::kAccentUnderWine:
      return say(
          "not bound; better not bind it: under Wine, a key that puts an accent on the "
          "next letter, as ^ and ´ do, reaches the game only on every second press");
    case PressDanger::kNone:
      break;
  }
  return {};
}

// "handguns -> slot 2", or the line that binds the key, proven on the file.
std::string what_it_selects(KeyCode code) {
  if (const auto slot_now = slot_for({code})) {
    return say("{category} -> slot {slot}",
               fact<Fact::kCategory>(category_with_slot(*slot_now)->name), slot(*slot_now));
  }
  const ModuleView view = view_as_module(nullptr);
  const Category& free = free_category(view.readings);
  if (const std::string danger = not_to_bind(code, free); !danger.empty()) return danger;
  if (const auto line = proven_binding(view.file, view.readings, free, code)) {
    return say("not bound; to bind it, write {entry}", fact<Fact::kEntry>(entry_text(*line)));
  }
  return say("not bound");
}

// Bound keys held together all fire, and the cycle's last active row wins.
std::string winner_among(const std::set<KeyCode>& held) {
  std::vector<std::string> bound;
  for (KeyCode code : held) {
    if (slot_for({code})) bound.push_back(shown_key_name(code));
  }
  const auto slot_now = slot_for(held);
  if (bound.size() < 2 || !slot_now) return {};
  return "; " + say("{keys} held together: {winner} wins -> slot {slot}",
                    fact<Fact::kKeys>(listed(bound)),
                    fact<Fact::kWinner>(category_with_slot(*slot_now)->name), slot(*slot_now));
}

void print_start() {
  const std::string start =
      say("Press keys or mouse buttons to see their codes and what holsterkeys does with them. Esc "
          "or Ctrl+C ends.");
  const std::string where = where_keys_arrive();
  print_text(start + (where.empty() ? "" : " " + where) + "\n");
}

}  // namespace

std::string where_keys_arrive() {
  if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr) return {};
  return say(
      "Under Wine, keys reach Wine programs only while a Wine window has the focus: press them "
      "in the running game's window, or run this in Wine's own console (wineconsole "
      "holsterkeys-check.exe ...).");
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
      char seconds[32];
      std::snprintf(seconds, sizeof seconds, "%8.3f s  ",
                    static_cast<double>(GetTickCount64() - start) / 1000.0);
      print_text(seconds + key_column(code) + "  " + what_it_selects(code) +
                 winner_among(watch.held()) + "\n");
    }
  }
  return 0;
}

}  // namespace holsterkeys
