#include "advice/proposal.h"

#include "advice/diagnosis.h"
#include "advice/findings.h"
#include "bindings/profile_edit.h"
#include "keys/key_names.h"

namespace holsterkeys {

ProposalCheck::ProposalCheck(const ConfigFile& file, const Diagnosis& before) : file_(&file) {
  const BindingReadings readings = read_as(file.bytes, ProfileDialect::kWindows);
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    codes_before_[row] = readings[row].number.code;
    stated_before_[row] = before.state_of(kCategories[row]) != nullptr;
  }
}

bool ProposalCheck::works(const Proposal& proposal) const {
  if (file_ == nullptr) return true;
  ConfigFile edited = *file_;
  edited.bytes = with_binding(file_->bytes, *proposal.category, proposal.value);
  const std::size_t row = row_of(*proposal.category);
  const BindingReadings windows = read_as(edited.bytes, ProfileDialect::kWindows);
  const BindingReadings wine = read_as(edited.bytes, ProfileDialect::kWine);
  if (windows[row].number.code != proposal.code || wine[row].number.code != proposal.code) {
    return false;
  }
  const Diagnosis after = diagnose_with(edited, windows, ProposalCheck());
  if (after.state_of(*proposal.category) != nullptr) return false;
  for (std::size_t other = 0; other < kCategoryCount; ++other) {
    if (other == row) continue;
    if (windows[other].number.code != codes_before_[other]) return false;
    if (!stated_before_[other] && after.state_of(kCategories[other]) != nullptr) return false;
  }
  return true;
}

Proposal proposal_of(const Category& category, KeyCode code) {
  return {&category, hex_code(code), code};
}

bool offer(const ProposalCheck& check, Finding& finding, const Proposal& proposal) {
  if (!check.works(proposal)) return false;
  finding.proposals.push_back(proposal);
  return true;
}

}  // namespace holsterkeys
