// The property every proposed line must have: followed, it works. Shared
// by the diagnosis table and its fuzz target.
#pragma once

#include <string>
#include <vector>

#include "advice/diagnosis.h"
#include "advice/findings.h"
#include "bindings/profile_edit.h"

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

}  // namespace holsterkeys
