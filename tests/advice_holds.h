// The properties that the checker's advice must have, whatever the file:
// every line printed for the player to write is one the finding proposes,
// and works when followed; and every finding on which keys select a
// category follows from the module's cycle. Shared by the diagnosis table
// and its fuzz target.
#pragma once

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "advice/diagnosis.h"
#include "advice/finding_text.h"
#include "bindings/profile_edit.h"
#include "bindings/profile_file.h"
#include "keys/key_names.h"
#include "selector/selection_cycle.h"

namespace holsterkeys {

inline BindingReadings readings_of(const std::string& bytes, ProfileDialect dialect) {
  const ProfileBytes reader(bytes, dialect);
  return read_bindings(reader);
}

// What goes wrong when `proposal` is followed: after the edit the category
// must read its code under Windows' reader and Wine's, and have no finding
// of its own; every other category keeps its code. Empty when it works.
inline std::string fails_when_followed(const ConfigFile& file, const Proposal& proposal) {
  ConfigFile edited = file;
  edited.bytes = with_binding(file.bytes, *proposal.category, proposal.value);
  const BindingReadings before = readings_of(file.bytes, ProfileDialect::kWindows);
  const BindingReadings windows = readings_of(edited.bytes, ProfileDialect::kWindows);
  const BindingReadings wine = readings_of(edited.bytes, ProfileDialect::kWine);
  const std::size_t row = row_of(*proposal.category);
  const std::string line = entry_text(proposal);
  if (windows[row].number.code != proposal.code || wine[row].number.code != proposal.code) {
    return line + " reads " + std::to_string(windows[row].number.code);
  }
  const Diagnosis after = diagnose(edited, windows);
  if (const Finding* state = after.state_of(*proposal.category)) {
    return line + " leaves a finding: " + text_of(*state);
  }
  for (std::size_t other = 0; other < kCategoryCount; ++other) {
    if (other != row && windows[other].number.code != before[other].number.code) {
      return line + " changes " + kCategories[other].name;
    }
  }
  return {};
}

// Where in `text` a line to write for a category starts: "handguns=0x62",
// not "handguns= with nothing after it".
inline std::vector<std::size_t> lines_to_write_in(const std::string& text) {
  std::vector<std::size_t> starts;
  for (const Category& category : kCategories) {
    const std::string start = std::string(category.name) + "=";
    for (std::size_t at = text.find(start); at != std::string::npos;
         at = text.find(start, at + 1)) {
      const std::size_t after = at + start.size();
      const bool word_before = at > 0 && std::isalpha(static_cast<unsigned char>(text[at - 1]));
      if (!word_before && after < text.size() && text[after] != ' ') starts.push_back(at);
    }
  }
  return starts;
}

// The lines the findings print for the player to write that fail when
// followed, or that no finding proposes; each with why.
inline std::vector<std::string> failed_proposals(const ConfigFile& file,
                                                 const Diagnosis& diagnosis) {
  std::vector<std::string> failed;
  for (const Finding& finding : diagnosis.found) {
    std::string text = text_of(finding);
    // The player's own text, shown in quotes, is no line to write.
    for (const std::string* written : {&finding.text, &finding.other_text, &finding.name}) {
      const std::string shown = in_quotes(*written);
      for (std::size_t at; !written->empty() && (at = text.find(shown)) != std::string::npos;) {
        text.replace(at, shown.size(), std::string(shown.size(), '_'));
      }
    }
    std::vector<std::size_t> printed = lines_to_write_in(text);
    for (const Proposal& proposal : finding.proposals) {
      const std::size_t at = text.find(entry_text(proposal));
      if (at == std::string::npos) {
        failed.push_back(entry_text(proposal) + " is proposed but not printed: " + text);
        continue;
      }
      printed.erase(std::remove(printed.begin(), printed.end(), at), printed.end());
      if (const std::string why = fails_when_followed(file, proposal); !why.empty()) {
        failed.push_back(why);
      }
    }
    for (std::size_t at : printed) {
      failed.push_back("a line no finding proposes is printed at " + std::to_string(at) + ": " +
                       text);
    }
  }
  return failed;
}

// The keys whose press leaves `category` selected, by the module's cycle
// over the codes each press sets, and whether every key that sets the
// category's code does.
struct Selecting {
  std::vector<KeyCode> keys;
  bool every_key = true;
};

inline Selecting keys_that_select(const BindingReadings& readings, const Category& category) {
  const KeyCode code = readings[row_of(category)].number.code;
  const ReadingsReader reader{readings};
  // A code that another key's press sets as well, as Shift with Left
  // Shift, is no key of its own.
  std::vector<KeyCode> also_set;
  for (KeyCode key = 1; key <= 254; ++key) {
    for (KeyCode set : codes_down_with(key)) {
      if (set != key) also_set.push_back(set);
    }
  }
  Selecting selecting;
  for (KeyCode key = 1; key <= 254; ++key) {
    const std::vector<KeyCode> down = codes_down_with(key);
    if (std::find(down.begin(), down.end(), code) == down.end() ||
        std::find(also_set.begin(), also_set.end(), key) != also_set.end()) {
      continue;
    }
    const auto slot = cycle_outcome(reader, [&down](KeyCode polled) {
      return std::find(down.begin(), down.end(), polled) != down.end() ? 1 : 0;
    });
    if (slot == category.slot) {
      selecting.keys.push_back(key);
    } else {
      selecting.every_key = false;
    }
  }
  return selecting;
}

inline const Finding* finding_of(const Diagnosis& diagnosis, const Category& category,
                                 std::initializer_list<FindingKind> kinds) {
  for (const Finding& finding : diagnosis.found) {
    if (finding.category == &category &&
        std::find(kinds.begin(), kinds.end(), finding.kind) != kinds.end()) {
      return &finding;
    }
  }
  return nullptr;
}

// A finding says that `category` shares its code with other rows.
inline bool said_to_share(const Diagnosis& diagnosis, const Category& category) {
  return std::any_of(diagnosis.found.begin(), diagnosis.found.end(), [&](const Finding& finding) {
    const bool shared = finding.kind == FindingKind::kSharedKey ||
                        finding.kind == FindingKind::kSharedKeySomePresses ||
                        finding.kind == FindingKind::kSharedKeyNoPress;
    return shared && std::find(finding.categories.begin(), finding.categories.end(), &category) !=
                         finding.categories.end();
  });
}

// The categories about which the findings say something else than the
// cycle does: a category that some key fails to select is "never selected"
// or "selected only by" exactly the keys that select it, unless it only
// shares its code with a later row that every such key selects; and a
// category that every key selects is said to be neither.
inline std::vector<std::string> false_selection_claims(const BindingReadings& readings,
                                                       const Diagnosis& diagnosis) {
  std::vector<std::string> wrong;
  for (const Category& category : kCategories) {
    if (!names_a_key(readings[row_of(category)].number.code)) continue;
    const Selecting selecting = keys_that_select(readings, category);
    const Finding* said = finding_of(diagnosis, category,
                                     {FindingKind::kNeverSelected, FindingKind::kSelectedOnlyBy});
    bool holds;
    if (selecting.every_key) {
      holds = said == nullptr;
    } else if (said != nullptr) {
      holds = said->keys == selecting.keys &&
              (said->kind == FindingKind::kNeverSelected) == selecting.keys.empty();
    } else {
      holds = selecting.keys.empty() && said_to_share(diagnosis, category);
    }
    if (!holds) {
      wrong.push_back(std::string(category.name) + ": the cycle selects it by " +
                      std::to_string(selecting.keys.size()) + " keys" +
                      (selecting.every_key ? ", every one" : "") + "; the findings say \"" +
                      (said ? text_of(*said) : "") + "\"");
    }
  }
  return wrong;
}

}  // namespace holsterkeys
