// holsterkeys-check --bind: the next key pressed becomes a category's
// binding. The player's file changes in that one value only, and is
// replaced in one step, so that the module never reads it half-written.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "advice/diagnosis.h"
#include "bindings/category_names.h"
#include "keys/key_names.h"
#include "live/binding_writer.h"
#include "live/key_watch.h"
#include "module/windows_profile_file.h"
#include "selector/selection_cycle.h"
#include "tools/check/file_check.h"
#include "tools/check/live.h"

namespace holsterkeys {
namespace {

constexpr KeyCode kEsc = 0x1B;
constexpr KeyCode kBackspace = 0x08;
// A key on two categories fires both, and the later row wins.
void print_shared_key(const Category& bound, KeyCode code, const std::string& location) {
  const WindowsProfileFile config(location.c_str());
  const KeyCodes codes = read_key_codes(config);
  std::vector<std::string_view> others;
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    if (codes[row] == code && &kCategories[row] != &bound) others.push_back(kCategories[row].name);
  }
  const auto slot =
      cycle_outcome(config, [code](KeyCode pressed) { return pressed == code ? 0x8000 : 0; });
  if (others.empty() || !slot) return;
  std::printf(
      "%s is also the key of %s: when it is pressed, both fire and %s wins, being later "
      "in the order %s.\n",
      shown_key_name(code).c_str(), joined(others).c_str(), category_with_slot(*slot)->name,
      category_names(", ").c_str());
}

bool write_binding(const std::string& location, const Category& category, KeyCode code) {
  const std::string reason = write_value(location, category, hex_code(code));
  if (!reason.empty()) {
    std::printf("Cannot write %s: %s It is left as it was.\n", location.c_str(), reason.c_str());
    return false;
  }
  std::printf("Wrote %s=%s (%s) into %s.\n", category.name, hex_code(code).c_str(),
              shown_key_name(code).c_str(), location.c_str());
  print_shared_key(category, code, location);
  return true;
}

enum class Outcome { kBound, kSkipped, kStopped, kFailed };

Outcome bind_one(KeyWatch& watch, const Category& category, const std::string& location,
                 bool walking, const volatile bool& stop) {
  std::printf("Press the key for %s (slot %d)%s, or Esc to %s.%s\n", category.name,
              static_cast<int>(category.slot), walking ? "; Backspace skips it" : "",
              walking ? "stop" : "cancel", where_keys_arrive().c_str());
  std::fflush(stdout);
  for (;;) {
    const std::vector<KeyCode> pressed = watch.next_presses(stop);
    if (pressed.empty() || pressed.front() == kEsc) return Outcome::kStopped;
    const KeyCode code = pressed.front();
    if (walking && code == kBackspace) return Outcome::kSkipped;
    if (const std::string refusal = refused_press(code, category); !refusal.empty()) {
      std::printf("%s. Press another key.\n", refusal.c_str());
      std::fflush(stdout);
      continue;
    }
    return write_binding(location, category, code) ? Outcome::kBound : Outcome::kFailed;
  }
}

}  // namespace

int bind_by_pressing(const Category* category, const std::string& location) {
  static volatile bool stop = false;
  stop_on_ctrl_c(stop);
  KeyWatch watch;
  const std::vector<const Category*> order =
      category != nullptr ? std::vector<const Category*>{category} : categories_by_slot();
  bool wrote = false;
  for (const Category* next : order) {
    const Outcome outcome = bind_one(watch, *next, location, category == nullptr, stop);
    if (outcome == Outcome::kFailed) return 1;
    if (outcome == Outcome::kStopped) break;
    if (outcome == Outcome::kSkipped) std::printf("%s skipped.\n", next->name);
    wrote |= outcome == Outcome::kBound;
  }
  if (!wrote) {
    std::printf("Nothing was written; %s is as it was.\n", location.c_str());
    return 0;
  }
  // The bindings asked for are written, which is success; the rest of the
  // file's findings are shown for what they are.
  std::printf("\n");
  check_file(location.c_str(), false);
  return 0;
}

}  // namespace holsterkeys
