// The properties that the checker's advice must have, whatever the file:
// every proposed line works when followed, and every sentence about which
// keys select a category follows from the module's cycle. Shared by the
// diagnosis table and its fuzz target.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "advice/diagnosis.h"
#include "advice/findings.h"
#include "bindings/category_names.h"
#include "bindings/profile_edit.h"
#include "keys/key_names.h"
#include "selector/selection_cycle.h"

namespace holsterkeys {

// The lines `diagnosis` proposes for `file` that fail when followed, each
// with why: after the edit the category must read the proposed code and
// have no finding of its own.
inline std::vector<std::string> failed_proposals(const ConfigFile& file,
                                                 const Diagnosis& diagnosis) {
  std::vector<std::string> failed;
  for (const Proposal& proposal : diagnosis.proposed) {
    ConfigFile edited = file;
    edited.bytes = with_binding(file.bytes, *proposal.category, proposal.value);
    const BindingReadings readings = read_as(edited.bytes, ProfileDialect::kWindows);
    const std::size_t row = row_of(*proposal.category);
    const std::string status = diagnose_with(edited, readings, ProposalCheck()).status[row];
    if (readings[row].number.code != proposal.code || !status.empty()) {
      failed.push_back(std::string(proposal.category->name) + "=" + proposal.value + " reads " +
                       std::to_string(readings[row].number.code) + ", status \"" + status + "\"");
    }
  }
  return failed;
}

// The names of the keys whose press leaves `category` selected, by the
// module's cycle over the codes each press sets, and whether every key that
// sets the category's code does.
struct Selecting {
  std::vector<std::string> keys;
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
      selecting.keys.push_back(key_name(key));
    } else {
      selecting.every_key = false;
    }
  }
  return selecting;
}

// The first finding that starts with `start`, or nothing.
inline const std::string* finding_starting(const Diagnosis& diagnosis, const std::string& start) {
  for (const std::string& finding : diagnosis.findings) {
    if (finding.starts_with(start)) return &finding;
  }
  return nullptr;
}

// A finding says that `name` shares `code` with other rows.
inline bool said_to_share(const Diagnosis& diagnosis, const std::string& name, KeyCode code) {
  for (const std::string& finding : diagnosis.findings) {
    const std::size_t on = finding.find(" on " + hex_code(code) + " (");
    if (on != std::string::npos && finding.find(name) < on) return true;
  }
  return false;
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
    const KeyCode code = readings[row_of(category)].number.code;
    if (!names_a_key(code)) continue;
    const Selecting selecting = keys_that_select(readings, category);
    const std::string name = category.name;
    const std::string claim = selecting.keys.empty() ? name + " is never selected: "
                                                     : name + " is selected only by " +
                                                           joined(selecting.keys, " or ") + ": ";
    const std::string* never = finding_starting(diagnosis, name + " is never selected");
    const std::string* only = finding_starting(diagnosis, name + " is selected only by");
    const std::string* said = never != nullptr ? never : only;
    bool holds;
    if (selecting.every_key) {
      holds = said == nullptr;
    } else if (said != nullptr) {
      holds = said->starts_with(claim);
    } else {
      holds = selecting.keys.empty() && said_to_share(diagnosis, name, code);
    }
    if (!holds) {
      wrong.push_back(name + ": the cycle says \"" + (selecting.every_key ? "" : claim) +
                      "\", the findings \"" + (said ? *said : "") + "\"");
    }
  }
  return wrong;
}

}  // namespace holsterkeys
