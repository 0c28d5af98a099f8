// Findings about files that are no plain list of lines: the player's
// editor shows the bindings, but the module reads something else. Such a
// file gets one finding, which says what it is and how to save it, and
// never a line to add that the player already sees.
#include <algorithm>

#include "advice/findings.h"

namespace holsterkeys {
namespace {

// Characters that some editors show as a line break but that end no line
// for the module: the line and paragraph separators and the next-line mark.
constexpr std::string_view kHiddenBreaks[] = {"\xE2\x80\xA8", "\xE2\x80\xA9", "\xC2\x85"};

const ProfileLine* line_with_hidden_break(const ProfileLines& lines) {
  for (const ProfileLine& line : lines) {
    for (std::string_view mark : kHiddenBreaks) {
      if (line.text.find(mark) != std::string_view::npos) return &line;
    }
  }
  return nullptr;
}

std::string_view first_text(const ProfileLines& lines) {
  for (const ProfileLine& line : lines) {
    const std::size_t start = line.text.find_first_not_of(" \t");
    if (start != std::string_view::npos) return line.text.substr(start);
  }
  return {};
}

// What a file in another program's syntax is; nothing for a plain file.
// It counts only where the module reads no binding.
std::optional<FindingKind> other_syntax(const ProfileLines& lines,
                                        const BindingReadings& readings) {
  if (bound_count(readings) != 0) return std::nullopt;
  if (first_text(lines).starts_with('{')) return FindingKind::kJson;
  for (const ProfileLine& line : lines) {
    if (!binding_in(line.text)) continue;
    const std::size_t gap = line.text.find_first_of(":,;\t");
    if (gap == std::string_view::npos) continue;
    switch (line.text[gap]) {
      case ':':
        return FindingKind::kYaml;
      case '\t':
        return FindingKind::kSpreadsheetCells;
      case ';':
        return FindingKind::kSemicolonSeparated;
      default:
        return FindingKind::kCommaSeparated;
    }
  }
  return std::nullopt;
}

// The plain lines that say what the file says, each category once, kept
// only where the module then reads each of them with no finding.
std::vector<Proposal> plain_lines(const ProfileLines& lines) {
  std::vector<Proposal> bindings;
  for (const ProfileLine& line : lines) {
    const auto binding = binding_in(line.text);
    if (!binding || std::any_of(bindings.begin(), bindings.end(), [&](const Proposal& taken) {
          return taken.category == binding->category;
        })) {
      continue;
    }
    bindings.push_back(*binding);
  }
  std::string file = "[Bindings]\r\n";
  for (const Proposal& binding : bindings) {
    file += std::string(binding.category->name) + "=" + binding.value + "\r\n";
  }
  ConfigFile replaced;
  replaced.state = ConfigFile::State::kRead;
  replaced.location = "holsterkeys.ini";
  replaced.bytes = file;
  const Diagnosis after =
      diagnose_with(replaced, read_as(file, ProfileDialect::kWindows), ProposalCheck());
  std::vector<Proposal> kept;
  for (const Proposal& binding : bindings) {
    if (after.state_of(*binding.category) == nullptr) kept.push_back(binding);
  }
  return kept;
}

}  // namespace

bool diagnose_format(const ProfileLines& lines, const BindingReadings& readings,
                     Diagnosis& diagnosis) {
  if (first_text(lines).starts_with("{\\rtf")) {
    Finding finding{FindingKind::kRichText};
    finding.count = bound_count(readings);
    diagnosis.found.push_back(finding);
  } else if (const auto syntax = other_syntax(lines, readings)) {
    Finding finding{*syntax};
    finding.proposals = plain_lines(lines);
    diagnosis.found.push_back(finding);
  } else if (const ProfileLine* line = line_with_hidden_break(lines)) {
    Finding finding{FindingKind::kHiddenLineBreak};
    finding.line = line->number;
    finding.text = line->text;
    finding.count = bound_count(readings);
    diagnosis.found.push_back(finding);
  } else {
    return false;
  }
  return true;
}

}  // namespace holsterkeys
