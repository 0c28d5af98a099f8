// holsterkeys-check --bind: the next key pressed becomes a category's
// binding. The player's file changes in that one value only, and is
// replaced in one step, so that the module never reads it half-written.
#include <windows.h>

#include <string>
#include <vector>

#include "advice/finding_text.h"
#include "advice/module_view.h"
#include "bindings/category_names.h"
#include "keys/key_names.h"
#include "keys/player_text.h"
#include "live/binding_writer.h"
#include "live/key_watch.h"
#include "text/say.h"
#include "tools/check/console.h"
#include "tools/check/file_check.h"
#include "tools/check/live.h"

namespace holsterkeys {
namespace {

// What the written key does beside other categories is the file check's
// to say, once everything asked for is written.
bool write_binding(const std::string& location, bool into_copy, const Category& category,
                   KeyCode code) {
  const auto file = path(as_utf8(location));
  if (const auto refused = write_value(location, category, hex_code(code))) {
    print_text(refusal_text(location, *refused) + "\n");
    return false;
  }
  print_text(say("Wrote {entry} ({key}) into {path}.",
                 fact<Fact::kEntry>(std::string(category.name) + "=" + hex_code(code)),
                 fact<Fact::kKey>(shown_key_name(code)), file) +
             "\n");
  if (into_copy) print_text(copy_written() + "\n");
  return true;
}

enum class Outcome { kBound, kSkipped, kStopped, kFailed };

void ask_for_key(const Category& category, bool walking) {
  const auto named = fact<Fact::kCategory>(category.name);
  const auto its_slot = slot(category.slot);
  const std::string ask =
      walking
          ? say("Press the key for {category} (slot {slot}); Backspace skips it, or Esc to "
                "stop.",
                named, its_slot)
          : say("Press the key for {category} (slot {slot}), or Esc to cancel.", named, its_slot);
  const std::string where = where_keys_arrive();
  print_text(ask + (where.empty() ? "" : " " + where) + "\n");
}

Outcome bind_one(KeyWatch& watch, const Category& category, const ModuleView& view, bool walking,
                 const volatile bool& stop) {
  ask_for_key(category, walking);
  for (;;) {
    const std::vector<KeyCode> pressed = watch.next_presses(stop);
    if (pressed.empty() || pressed.front() == kEsc) return Outcome::kStopped;
    const KeyCode code = pressed.front();
    if (walking && code == kBackspace) return Outcome::kSkipped;
    if (press_danger(code) != PressDanger::kNone) {
      print_text(refused_press(code, category) + " " + say("Press another key.") + "\n");
      continue;
    }
    const bool into_copy = !view.file.in_place_of.empty();
    return write_binding(view.location, into_copy, category, code) ? Outcome::kBound
                                                                   : Outcome::kFailed;
  }
}

}  // namespace

int bind_by_pressing(const Category* category, const char* file) {
  const ModuleView view = view_as_module(file);
  static volatile bool stop = false;
  stop_on_ctrl_c(stop);
  KeyWatch watch;
  const std::vector<const Category*> order =
      category != nullptr ? std::vector<const Category*>{category} : categories_by_slot();
  bool wrote = false;
  for (const Category* next : order) {
    const Outcome outcome = bind_one(watch, *next, view, category == nullptr, stop);
    if (outcome == Outcome::kFailed) return 1;
    if (outcome == Outcome::kStopped) break;
    if (outcome == Outcome::kSkipped) {
      print_text(say("{category} skipped.", fact<Fact::kCategory>(next->name)) + "\n");
    }
    wrote |= outcome == Outcome::kBound;
  }
  if (!wrote) {
    print_text(say("Nothing was written; {path} is as it was.", path(as_utf8(view.location))) +
               "\n");
    return 0;
  }
  // The bindings asked for are written, which is success; the rest of the
  // file's findings are shown for what they are.
  print_text("\n");
  check_file(file, false);
  return 0;
}

}  // namespace holsterkeys
