// Findings about what one press of a key does: which categories fire
// together and which of them the module selects, worked out by its own
// cycle; and notes on keys that do something else as well.
#include <algorithm>
#include <iterator>
#include <map>

#include "advice/findings.h"
#include "bindings/category_names.h"
#include "keys/key_names.h"
#include "selector/selection_cycle.h"

namespace holsterkeys {
namespace {

// The category that a press of `key` leaves selected, by the module's own
// cycle over every code that the press sets; nullptr when none fires.
const Category* selected_by(const BindingReadings& readings, KeyCode key) {
  const std::vector<KeyCode> down = codes_down_with(key);
  const ReadingsReader reader{readings};
  const auto slot = cycle_outcome(reader, [&down](KeyCode code) {
    return std::find(down.begin(), down.end(), code) != down.end() ? 0x8000 : 0;
  });
  return slot ? category_with_slot(*slot) : nullptr;
}

KeyCode code_of(const BindingReadings& readings, const Category& category) {
  return readings[row_of(category)].number.code;
}

std::string described(KeyCode code) { return shown_key_name(code) + " (" + hex_code(code) + ")"; }

// The keys that leave `category` selected, of those that set `code`.
std::vector<std::string> keys_selecting(const BindingReadings& readings, const Category& category,
                                        KeyCode code) {
  std::vector<std::string> keys;
  for (KeyCode key : keys_setting(code)) {
    if (selected_by(readings, key) == &category) keys.push_back(shown_key_name(key));
  }
  return keys;
}

// When the later of the rows on `code` wins, given the keys on which it
// does: on every key that sets the code, on some of them, or on none, where
// another category's key is down as well.
std::string when_pressed(const Category& later, KeyCode code,
                         const std::vector<std::string>& keys) {
  if (keys.empty()) return "no press of it selects any of them (see below)";
  const std::string when = keys.size() == keys_setting(code).size()
                               ? "when it is pressed, "
                               : "when " + joined(keys, " or ") + " is pressed, ";
  return when + later.name + " wins, being later in the order " + category_names(", ");
}

// Each row on one key: the others on it, and which of them wins.
void set_shared_statuses(const std::vector<std::string_view>& names, const Category& later,
                         Diagnosis& diagnosis) {
  for (std::string_view name : names) {
    std::vector<std::string_view> others;
    std::copy_if(names.begin(), names.end(), std::back_inserter(others),
                 [name](std::string_view other) { return other != name; });
    set_status(diagnosis, *category_named(name),
               "same key as " + joined(others) + ": " + later.name + " wins");
  }
}

// Rows on one key all fire together, and the later row wins over the
// others; whether it is selected is the module's cycle's to say.
void shared_keys(const BindingReadings& readings, Diagnosis& diagnosis) {
  std::map<KeyCode, std::vector<std::string_view>> names_by_code;
  for (const Category& category : kCategories) {
    const KeyCode code = code_of(readings, category);
    if (names_a_key(code)) names_by_code[code].push_back(category.name);
  }
  for (const auto& [code, names] : names_by_code) {
    if (names.size() < 2) continue;
    const Category& later = *category_named(names.back());
    const std::vector<std::string> keys = keys_selecting(readings, later, code);
    // Where another category takes some of the presses, each of these rows
    // has a finding of its own below, which gives its status.
    if (keys.size() == keys_setting(code).size()) set_shared_statuses(names, later, diagnosis);
    diagnosis.findings.push_back(
        joined(names) + (names.size() == 2 ? " are both on " : " are all on ") + hex_code(code) +
        " (" + shown_key_name(code) + "): " + when_pressed(later, code, keys) +
        ". Give each category its own key.");
  }
}

// Why a press of `key`, meant for `category`, selects `winner` instead.
std::string lost_press(const BindingReadings& readings, const Category& category, KeyCode key,
                       const Category& winner) {
  const KeyCode code = code_of(readings, category);
  if (code_of(readings, winner) == code) {
    return "pressing " + shown_key_name(key) + " sets " + described(code) + ", the key of " +
           winner.name + " as well, so " + winner.name + " wins";
  }
  return "pressing " + shown_key_name(key) + " sets both " + described(code) + " and " +
         described(code_of(readings, winner)) + ", the key of " + winner.name + ", so " +
         winner.name + " wins";
}

std::string selected_only_by(const std::vector<std::string>& keys) {
  if (keys.empty()) return " is never selected: ";
  return " is selected only by " + joined(keys, " or ") + ": ";
}

// A category whose key is down together with another category's key: a
// sided Shift, Ctrl or Alt also sets the code of either side. Presses lost
// only to rows on the very same code are the shared-key finding's.
void keys_down_together(const BindingReadings& readings, const Category& category,
                        const ProposalCheck& check, Diagnosis& diagnosis) {
  const KeyCode code = code_of(readings, category);
  if (!names_a_key(code)) return;
  std::string lost;
  std::vector<std::string> kept;
  bool lost_to_another_code = false;
  for (KeyCode key : keys_setting(code)) {
    const Category* winner = selected_by(readings, key);
    if (winner == &category) {
      kept.push_back(shown_key_name(key));
      continue;
    }
    lost_to_another_code |= code_of(readings, *winner) != code;
    lost += (lost.empty() ? "" : "; ") + lost_press(readings, category, key, *winner);
  }
  if (!lost_to_another_code) return;
  set_status(diagnosis, category,
             kept.empty() ? "never selected" : "selected only by " + joined(kept, " or "));
  const KeyCode spare = spare_code(readings, category);
  const std::string example = offered(
      check, diagnosis, proposal_of(category, spare),
      ", for example " + assignment(category, spare) + " for " + shown_key_name(spare) + ".");
  diagnosis.findings.push_back(std::string(category.name) + selected_only_by(kept) + lost +
                               ", being later in the order " + category_names(", ") + ". Give " +
                               category.name + " a key of its own" +
                               (example.empty() ? ". " + std::string(kFindTheCode) : example));
}

// The categories whose codes `wanted` accepts, as a sentence's subject.
std::vector<std::string_view> categories_on(const BindingReadings& readings,
                                            bool (*wanted)(KeyCode)) {
  std::vector<std::string_view> names;
  for (const Category& category : kCategories) {
    if (wanted(code_of(readings, category))) names.push_back(category.name);
  }
  return names;
}

bool is_numpad(KeyCode code) { return (code >= 0x60 && code <= 0x69) || code == 0x6E; }
bool is_windows_key(KeyCode code) { return code == 0x5B || code == 0x5C; }
bool is_alt(KeyCode code) { return code == 0x12 || code == 0xA4 || code == 0xA5; }

std::string subject(const std::vector<std::string_view>& names) {
  return joined(names) + (names.size() == 1 ? " is" : " are");
}

// Keys that do something else as well, whatever the module does.
void keys_with_other_uses(const BindingReadings& readings, Diagnosis& diagnosis) {
  if (const auto names = categories_on(readings, is_numpad); !names.empty()) {
    diagnosis.notes.push_back(subject(names) +
                              " on the numpad, whose keys send these codes only while Num Lock "
                              "is on: with Num Lock off they act as arrows, Home, End and the "
                              "like, and these bindings do not fire. Keep Num Lock on.");
  }
  if (const auto names = categories_on(readings, is_windows_key); !names.empty()) {
    diagnosis.notes.push_back(subject(names) +
                              " on a Windows key, which also opens the Start menu and takes "
                              "the game out of the front.");
  }
  if (const auto names = categories_on(readings, is_alt); !names.empty()) {
    diagnosis.notes.push_back(subject(names) +
                              " on Alt: pressed on its own, Alt can open the menu of the "
                              "game's window when the game runs in a window.");
  }
}

}  // namespace

KeyCode spare_code(const BindingReadings& readings, const Category& category) {
  auto taken = [&readings](KeyCode code) {
    return std::any_of(readings.begin(), readings.end(), [code](const BindingReading& reading) {
      return reading.number.code == code;
    });
  };
  KeyCode code = 0x60 + category.slot;
  for (KeyCode next = 0x61; taken(code) && next <= 0x69; ++next) code = next;
  return code;
}

void diagnose_presses(const BindingReadings& readings, const ProposalCheck& check,
                      Diagnosis& diagnosis) {
  shared_keys(readings, diagnosis);
  for (const Category& category : kCategories) {
    keys_down_together(readings, category, check, diagnosis);
  }
  keys_with_other_uses(readings, diagnosis);
}

}  // namespace holsterkeys
