// Findings about the files around the configuration: copies and
// look-alikes that the module never reads, and a folder that does not look
// like the game's.
#include "advice/findings.h"
#include "files/file_system.h"

namespace holsterkeys {
namespace {

bool is_below(const NearbyFile& other) {
  return other.path.find_first_of(kSeparators) != std::string::npos;
}

Finding about(FindingKind kind, const ConfigFile& file, const NearbyFile& other) {
  Finding finding{kind};
  finding.path = file.location;
  finding.name = other.path;
  finding.saved = other.modified;
  finding.other_saved = file.modified;
  return finding;
}

// Which of the two was saved last counts to the second: a copy that
// Explorer makes keeps the time of the file it copies.
FindingKind kind_of(const ConfigFile& file, const NearbyFile& other) {
  if (file.state == ConfigFile::State::kRead && other.modified > file.modified) {
    return is_below(other) ? FindingKind::kSavedLaterBelow : FindingKind::kSavedLaterBeside;
  }
  if (file.state == ConfigFile::State::kRead) return FindingKind::kAlsoHere;
  return is_below(other) ? FindingKind::kNeverReadBelow : FindingKind::kNeverRead;
}

// The module reads from the folder the game starts in, which holds the
// game's program.
void find_folder_without_program(const ConfigFile& file, Diagnosis& diagnosis) {
  if (file.programs_above.empty()) return;
  Finding finding{FindingKind::kFolderWithoutProgram};
  finding.path = folder_of(file.location);
  finding.names = file.programs_above;
  diagnosis.found.push_back(finding);
}

}  // namespace

void diagnose_nearby(const ConfigFile& file, Diagnosis& diagnosis) {
  for (const NearbyFile& other : file.look_alikes) {
    if (file.state == ConfigFile::State::kMissing && other.path == file.similar) continue;
    if (file.state == ConfigFile::State::kFolder) continue;
    diagnosis.found.push_back(about(kind_of(file, other), file, other));
  }
  find_folder_without_program(file, diagnosis);
}

}  // namespace holsterkeys
