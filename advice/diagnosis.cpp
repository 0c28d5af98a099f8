// The checker's findings: first whether the file can be read at all, then
// how Windows and Wine read its encoding, then its lines and its values.
#include "advice/diagnosis.h"

#include <algorithm>

#include "advice/findings.h"
#include "bindings/category_names.h"

namespace holsterkeys {
namespace {

Finding about_file(FindingKind kind, const ConfigFile& file) {
  Finding finding{kind};
  finding.path = file.location;
  return finding;
}

FindingKind missing_kind(NearMiss miss) {
  switch (miss) {
    case NearMiss::kHiddenExtension:
      return FindingKind::kFileWithHiddenExtension;
    case NearMiss::kShortcut:
      return FindingKind::kShortcutInPlace;
    case NearMiss::kEndsWithBlank:
      return FindingKind::kFileNameEndsWithBlank;
    case NearMiss::kEndsWithDot:
      return FindingKind::kFileNameEndsWithDot;
    case NearMiss::kOtherName:
      break;
  }
  return FindingKind::kFileNamedNearly;
}

// The finding when there is nothing to read; none when the file was read.
std::optional<Finding> unread_file(const ConfigFile& file) {
  switch (file.state) {
    case ConfigFile::State::kRead:
      return std::nullopt;
    case ConfigFile::State::kFolder:
      return about_file(FindingKind::kFolderInPlace, file);
    case ConfigFile::State::kUnreadable: {
      Finding finding = about_file(FindingKind::kUnreadable, file);
      finding.problem = file.failure.problem;
      finding.text = file.failure.message;
      return finding;
    }
    case ConfigFile::State::kMissing:
      break;
  }
  if (file.similar.empty()) return about_file(FindingKind::kNoFile, file);
  Finding finding = about_file(missing_kind(near_miss(file.similar)), file);
  finding.name = file.similar;
  return finding;
}

bool same_texts(const BindingReadings& a, const BindingReadings& b) {
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    if (a[row].text != b[row].text) return false;
  }
  return true;
}

// The line of a second [Bindings] header, which Windows takes for the
// first when it misses the first behind a byte-order mark; 0 for none.
int second_header(const ProfileLines& lines) {
  int headers = 0;
  for (const ProfileLine& line : lines) {
    if (line.kind == ProfileLine::Kind::kSection && same_profile_name(line.name, kConfigSection) &&
        ++headers == 2) {
      return line.number;
    }
  }
  return 0;
}

// Windows and Wine read a UTF-8 byte-order mark and UTF-16 big-endian
// differently; that matters only where it changes what the module reads.
// `meant` is the file as Wine reads it.
bool find_encoding_read_apart(const std::string& bytes, const ProfileBytes& meant,
                              Diagnosis& diagnosis) {
  if (dialects_read_alike(bytes)) return false;
  const BindingReadings windows = read_as(bytes, ProfileDialect::kWindows);
  const BindingReadings wine = read_bindings(meant);
  if (same_texts(windows, wine)) return false;
  Finding finding{bytes.starts_with(kUtf8Mark) ? FindingKind::kUtf8MarkHidesFirstLine
                                               : FindingKind::kUtf16BigEndian};
  finding.count = bound_count(windows);
  finding.other_count = bound_count(wine);
  finding.other_line = second_header(meant.lines());
  diagnosis.found.push_back(finding);
  return true;
}

// UTF-16 without a byte-order mark: a NUL after every character of ASCII
// text, which no reader takes for the characters they stand for.
bool is_unmarked_utf16(const std::string& bytes) {
  const std::string_view start = std::string_view(bytes).substr(0, 64);
  if (start.size() < 8 || is_utf16le(bytes) || bytes.starts_with("\xFE\xFF")) {
    return false;
  }
  for (std::size_t parity = 0; parity < 2; ++parity) {
    bool every_other = true;
    for (std::size_t at = 0; at < start.size() && every_other; ++at) {
      every_other = (start[at] == '\0') == (at % 2 == parity);
    }
    if (every_other) return true;
  }
  return false;
}

// A VirtualStore copy that the game reads in place of a file it does not:
// worth a finding where the two differ.
void find_virtual_store_copy(const ConfigFile& file, Diagnosis& diagnosis) {
  if (file.in_place_of.empty() || file.same_as_original) return;
  FindingKind kind = FindingKind::kVirtualStoreCopy;
  if (file.original_missing) {
    kind = FindingKind::kVirtualStoreCopyAlone;
  } else if (file.original_modified > file.modified) {
    kind = FindingKind::kVirtualStoreCopyOlder;
  }
  Finding finding = about_file(kind, file);
  finding.name = file.in_place_of;
  finding.saved = file.modified;
  finding.other_saved = file.original_modified;
  diagnosis.found.push_back(finding);
}

}  // namespace

std::size_t bound_count(const BindingReadings& readings) {
  return static_cast<std::size_t>(
      std::count_if(readings.begin(), readings.end(),
                    [](const BindingReading& reading) { return !reading.text.empty(); }));
}

BindingReadings read_as(const std::string& bytes, ProfileDialect dialect) {
  const ProfileBytes reader(bytes, dialect);
  return read_bindings(reader);
}

bool readers_disagree(const std::string& bytes) {
  return !dialects_read_alike(bytes) && !same_texts(read_as(bytes, ProfileDialect::kWindows),
                                                    read_as(bytes, ProfileDialect::kWine));
}

void ReadingsReader::read_value(const char* name, ValueText& value) const {
  const std::string& text = readings[row_of(*category_named(name))].text;
  value[text.copy(value, kValueSize - 1)] = '\0';
}

bool diagnose_file(const ConfigFile& file, Diagnosis& diagnosis) {
  find_virtual_store_copy(file, diagnosis);
  if (const auto unread = unread_file(file)) diagnosis.found.push_back(*unread);
  diagnose_nearby(file, diagnosis);
  if (file.state != ConfigFile::State::kMissing && !is_module_file_name(file_name(file.location))) {
    diagnosis.found.push_back(about_file(FindingKind::kOtherFileName, file));
  }
  if (file.state != ConfigFile::State::kRead) return false;
  if (is_unmarked_utf16(file.bytes)) {
    diagnosis.found.push_back(Finding{FindingKind::kUnmarkedUtf16});
    return false;
  }
  return true;
}

// A diagnosis that proposes nothing needs no proofs; otherwise it is made
// again with each proposal judged against the first.
Diagnosis diagnose(const ConfigFile& file, const BindingReadings& readings) {
  Diagnosis unproven = diagnose_with(file, readings, ProposalCheck());
  const bool proposes =
      std::any_of(unproven.found.begin(), unproven.found.end(),
                  [](const Finding& finding) { return !finding.proposals.empty(); });
  if (!proposes) return unproven;
  return diagnose_with(file, readings, ProposalCheck(file, unproven));
}

Diagnosis diagnose_with(const ConfigFile& file, const BindingReadings& readings,
                        const ProposalCheck& check) {
  Diagnosis diagnosis;
  if (!diagnose_file(file, diagnosis)) return diagnosis;
  // The lines as the file was meant, which is how Wine reads them; where
  // Windows reads them otherwise, the encoding finding says so.
  const ProfileBytes meant(file.bytes, ProfileDialect::kWine);
  const ProfileLines& lines = meant.lines();
  const bool encoding_found = find_encoding_read_apart(file.bytes, meant, diagnosis);
  if (diagnose_format(lines, readings, diagnosis)) return diagnosis;
  Matches matches;
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    matches[row] = locate_entry(lines, kConfigSection, kCategories[row].name);
  }
  const bool first_header_hidden = encoding_found && file.bytes.starts_with(kUtf8Mark);
  diagnose_layout(lines, matches, first_header_hidden, check, diagnosis);
  diagnose_values(readings, matches, encoding_found, check, diagnosis);
  diagnose_presses(readings, check, diagnosis);
  return diagnosis;
}

std::optional<Proposal> proven_binding(const ConfigFile& file, const BindingReadings& readings,
                                       const Category& category, KeyCode code) {
  ConfigFile readable = file;
  if (readable.state != ConfigFile::State::kRead) {
    readable.state = ConfigFile::State::kRead;
    readable.bytes.clear();
  }
  const Diagnosis before = diagnose_with(readable, readings, ProposalCheck());
  const Proposal proposal = proposal_of(category, code);
  if (!ProposalCheck(readable, before).works(proposal)) return std::nullopt;
  return proposal;
}

// Under Wine, a dead key (one that puts an accent on the next letter)
// reaches no program on its first press; the second, which completes the
// accent, comes as 0xFC, a code that no keyboard sends on Windows.
constexpr KeyCode kAccentCompleted = 0xFC;

PressDanger press_danger(KeyCode code) {
  if (code == 0x01) return PressDanger::kFires;
  if (code == 0x02) return PressDanger::kAims;
  if (code == kAccentCompleted) return PressDanger::kAccentUnderWine;
  return PressDanger::kNone;
}

}  // namespace holsterkeys
