// Lines the checker proposes, each proven before it is given: the edit is
// made to the file's bytes in memory by the editor that --bind and the
// setup window use, and the result is read by the module's own reader and
// judged by the same findings.
#pragma once

#include <array>
#include <string>

#include "advice/config_file.h"
#include "bindings/bindings.h"

namespace holsterkeys {

// "handguns=0x37": the category's value becomes `value`, which the module
// then reads as `code`.
struct Proposal {
  const Category* category;
  std::string value;
  KeyCode code;
};

struct Diagnosis;

// Judges proposals for one file. Without a file it passes every proposal:
// that is how it judges the file that a proposal makes, so that proofs do
// not nest.
class ProposalCheck {
 public:
  ProposalCheck() = default;
  // `before` is the file's diagnosis made without proofs.
  ProposalCheck(const ConfigFile& file, const Diagnosis& before);

  // After the edit the category reads `code` under Windows' and Wine's
  // reading alike and has no finding of its own, which includes being
  // selectable; every other category reads its old code and gains no
  // finding.
  bool works(const Proposal& proposal) const;

 private:
  const ConfigFile* file_ = nullptr;
  // The file's codes before any edit, and which categories had a status,
  // which every proof compares with.
  KeyCodes codes_before_{};
  std::array<bool, kCategoryCount> stated_before_{};
};

}  // namespace holsterkeys
