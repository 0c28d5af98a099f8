#include "advice/finding.h"

#include <algorithm>

namespace holsterkeys {
namespace {

// Whether a kind is a note, and whose status in the setup window it gives:
// none, its category's, or that of each of its categories.
enum class Severity { kFinding, kNote };
enum class States { kNone, kCategory, kCategories };
struct KindTraits {
  Severity severity;
  States states;
};

constexpr KindTraits traits_of(FindingKind kind) {
  using K = FindingKind;
  switch (kind) {
    case K::kOtherFileName:
    case K::kUnknownName:
    case K::kOtherCommentAsEntry:
    case K::kOtherCommentAsLine:
    case K::kNoEqualsRemark:
    case K::kSecondSectionAlike:
    case K::kLongValue:
    case K::kRemarkNamesOtherKey:
    case K::kOnNumpad:
    case K::kOnWindowsKey:
    case K::kOnAlt:
    case K::kAlsoHere:
    case K::kNeverRead:
    case K::kNeverReadBelow:
    case K::kFolderWithoutProgram:
      return {Severity::kNote, States::kNone};
    case K::kUnboundOnPurpose:
    case K::kOffOnPurpose:
      return {Severity::kNote, States::kCategory};
    case K::kNotBound:
    case K::kNotBoundGivenAbove:
    case K::kNotReadHere:
    case K::kNotReadForEncoding:
    case K::kTypedCharacter:
    case K::kTypedCharacterOfLayout:
    case K::kStopsBeforeNumber:
    case K::kMouseWheel:
    case K::kKeyName:
    case K::kKeyNameFiresOrAims:
    case K::kUnknownKeyName:
    case K::kLoneDigit:
    case K::kOctal:
    case K::kOtherHexNotation:
    case K::kMoreThanOneKey:
    case K::kNoSuchKey:
    case K::kStopsInsideNumber:
    case K::kStopsAfterPrefix:
    case K::kFiresOrAims:
    case K::kLookAlikeInHex:
    case K::kNeverSelected:
    case K::kSelectedOnlyBy:
      return {Severity::kFinding, States::kCategory};
    case K::kSharedKey:
      return {Severity::kFinding, States::kCategories};
    default:
      return {Severity::kFinding, States::kNone};
  }
}

}  // namespace

bool is_note(FindingKind kind) { return traits_of(kind).severity == Severity::kNote; }

std::vector<const Category*> categories_in_state(const Finding& finding) {
  switch (traits_of(finding.kind).states) {
    case States::kCategory:
      return {finding.category};
    case States::kCategories:
      return finding.categories;
    case States::kNone:
      break;
  }
  return {};
}

bool Diagnosis::has_findings() const {
  return std::any_of(found.begin(), found.end(),
                     [](const Finding& finding) { return !is_note(finding.kind); });
}

const Finding* Diagnosis::state_of(const Category& category) const {
  for (const Finding& finding : found) {
    const std::vector<const Category*> stated = categories_in_state(finding);
    if (std::find(stated.begin(), stated.end(), &category) != stated.end()) return &finding;
  }
  return nullptr;
}

bool Diagnosis::proposes_for(const Category& category) const {
  return std::any_of(found.begin(), found.end(), [&](const Finding& finding) {
    return std::any_of(finding.proposals.begin(), finding.proposals.end(),
                       [&](const Proposal& line) { return line.category == &category; });
  });
}

}  // namespace holsterkeys
