// Findings about what one press of a key does: which categories fire
// together and which of them the module selects, worked out by its own
// cycle; and notes on keys that do something else as well.
#include <algorithm>
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

// The keys that leave `category` selected, of those that set `code`.
std::vector<KeyCode> keys_selecting(const BindingReadings& readings, const Category& category,
                                    KeyCode code) {
  std::vector<KeyCode> keys;
  for (KeyCode key : keys_setting(code)) {
    if (selected_by(readings, key) == &category) keys.push_back(key);
  }
  return keys;
}

// Rows on one key all fire together, and the later row wins over the
// others; whether it is selected is the module's cycle's to say: on every
// key that sets the code, on some of them, or on none, where another
// category's key is down as well.
void find_shared_keys(const BindingReadings& readings, Diagnosis& diagnosis) {
  std::map<KeyCode, std::vector<const Category*>> categories_by_code;
  for (const Category& category : kCategories) {
    const KeyCode code = code_of(readings, category);
    if (names_a_key(code)) categories_by_code[code].push_back(&category);
  }
  for (const auto& [code, categories] : categories_by_code) {
    if (categories.size() < 2) continue;
    Finding finding{FindingKind::kSharedKey};
    finding.code = code;
    finding.categories = categories;
    finding.winner = categories.back();
    finding.keys = keys_selecting(readings, *finding.winner, code);
    // Where another category takes some of the presses, each of these rows
    // has a finding of its own below, which gives its status.
    if (finding.keys.empty()) {
      finding.kind = FindingKind::kSharedKeyNoPress;
    } else if (finding.keys.size() != keys_setting(code).size()) {
      finding.kind = FindingKind::kSharedKeySomePresses;
    }
    diagnosis.found.push_back(finding);
  }
}

// A category whose key is down together with another category's key: a
// sided Shift, Ctrl or Alt also sets the code of either side. Presses lost
// only to rows on the very same code are the shared-key finding's.
void find_keys_down_together(const BindingReadings& readings, const Category& category,
                             const ProposalCheck& check, Diagnosis& diagnosis) {
  const KeyCode code = code_of(readings, category);
  if (!names_a_key(code)) return;
  Finding finding{FindingKind::kSelectedOnlyBy};
  finding.category = &category;
  finding.code = code;
  bool lost_to_another_code = false;
  for (KeyCode key : keys_setting(code)) {
    const Category* winner = selected_by(readings, key);
    if (winner == &category) {
      finding.keys.push_back(key);
      continue;
    }
    const KeyCode winner_code = code_of(readings, *winner);
    lost_to_another_code |= winner_code != code;
    finding.lost_presses.push_back({key, winner, winner_code});
  }
  if (!lost_to_another_code) return;
  if (finding.keys.empty()) finding.kind = FindingKind::kNeverSelected;
  offer(check, finding, proposal_of(category, spare_code(readings, category)));
  diagnosis.found.push_back(finding);
}

// The categories whose codes `wanted` accepts.
std::vector<const Category*> categories_on(const BindingReadings& readings,
                                           bool (*wanted)(KeyCode)) {
  std::vector<const Category*> categories;
  for (const Category& category : kCategories) {
    if (wanted(code_of(readings, category))) categories.push_back(&category);
  }
  return categories;
}

bool is_numpad(KeyCode code) { return (code >= 0x60 && code <= 0x69) || code == 0x6E; }
bool is_windows_key(KeyCode code) { return code == 0x5B || code == 0x5C; }
bool is_alt(KeyCode code) { return code == 0x12 || code == 0xA4 || code == 0xA5; }

// Keys that do something else as well, whatever the module does.
void find_keys_with_other_uses(const BindingReadings& readings, Diagnosis& diagnosis) {
  constexpr struct {
    FindingKind kind;
    bool (*wanted)(KeyCode);
  } kOtherUses[] = {{FindingKind::kOnNumpad, is_numpad},
                    {FindingKind::kOnWindowsKey, is_windows_key},
                    {FindingKind::kOnAlt, is_alt}};
  for (const auto& use : kOtherUses) {
    Finding finding{use.kind};
    finding.categories = categories_on(readings, use.wanted);
    if (!finding.categories.empty()) diagnosis.found.push_back(finding);
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
  find_shared_keys(readings, diagnosis);
  for (const Category& category : kCategories) {
    find_keys_down_together(readings, category, check, diagnosis);
  }
  find_keys_with_other_uses(readings, diagnosis);
}

}  // namespace holsterkeys
