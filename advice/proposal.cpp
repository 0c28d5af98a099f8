#include "advice/proposal.h"

#include "advice/diagnosis.h"
#include "advice/findings.h"
#include "bindings/profile_edit.h"

namespace holsterkeys {

ProposalCheck::ProposalCheck(const ConfigFile& file, const Diagnosis& before)
    : file_(&file), statuses_before_(before.status) {
  const BindingReadings readings = read_as(file.bytes, ProfileDialect::kWindows);
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    codes_before_[row] = readings[row].number.code;
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
  if (!after.status[row].empty()) return false;
  for (std::size_t other = 0; other < kCategoryCount; ++other) {
    if (other == row) continue;
    if (windows[other].number.code != codes_before_[other]) return false;
    if (statuses_before_[other].empty() && !after.status[other].empty()) return false;
  }
  return true;
}

std::string offered(const ProposalCheck& check, Diagnosis& diagnosis, const Proposal& proposal,
                    const std::string& words) {
  if (!check.works(proposal)) return {};
  diagnosis.proposed.push_back(proposal);
  return words;
}

}  // namespace holsterkeys
