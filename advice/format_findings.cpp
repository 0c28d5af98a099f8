// Findings about files that are no plain list of lines: the player's
// editor shows the bindings, but the module reads something else. Such a
// file gets one finding, which says what it is and how to save it, and
// never a line to add that the player already sees.
#include <algorithm>

#include "advice/findings.h"
#include "advice/visible_text.h"
#include "bindings/category_names.h"

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

bool reads_nothing(const BindingReadings& readings) {
  return std::all_of(readings.begin(), readings.end(),
                     [](const BindingReading& reading) { return reading.text.empty(); });
}

// What a file in another program's syntax is, as a player knows it; empty
// for a plain file. It counts only where the module reads no binding.
std::string other_syntax(const ProfileLines& lines, const BindingReadings& readings) {
  if (!reads_nothing(readings)) return {};
  if (first_text(lines).starts_with('{')) return "JSON, as programs and web pages write settings";
  for (const ProfileLine& line : lines) {
    if (!binding_in(line.text)) continue;
    const std::size_t gap = line.text.find_first_of(":,;\t");
    if (gap == std::string_view::npos) continue;
    if (line.text[gap] == ':') return "YAML (name: value), as some programs write settings";
    if (line.text[gap] == '\t') return "cells pasted from a spreadsheet, separated by tabs";
    return "comma-separated values, as spreadsheets save them";
  }
  return {};
}

// The plain lines that say what the file says, each category once, kept
// only where the module then reads each of them with no finding.
std::vector<std::string> plain_lines(const ProfileLines& lines) {
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
  for (const Proposal& binding : bindings)
    file += assignment(*binding.category, binding.code) + "\r\n";
  ConfigFile replaced;
  replaced.state = ConfigFile::State::kRead;
  replaced.location = "holsterkeys.ini";
  replaced.bytes = file;
  const BindingReadings readings = read_as(file, ProfileDialect::kWindows);
  const Diagnosis after = diagnose_with(replaced, readings, ProposalCheck());
  std::vector<std::string> kept = {"\"[Bindings]\""};
  for (const Proposal& binding : bindings) {
    if (after.status[row_of(*binding.category)].empty()) {
      kept.push_back("\"" + assignment(*binding.category, binding.code) + "\"");
    }
  }
  return kept;
}

void other_format(const std::string& format, const ProfileLines& lines, Diagnosis& diagnosis) {
  const std::vector<std::string> kept = plain_lines(lines);
  diagnosis.findings.push_back(
      "The file holds " + format +
      ", which the module does not read: it reads plain lines, a [Bindings] line and under it one "
      "line for each category, its name, '=' and the key's code. " +
      (kept.size() > 1 ? "Replace what the file holds with the lines " + joined(kept) +
                             ", one under the other, and save it " + kAsAnsi + "."
                       : "Write the file that way in Notepad and save it " + std::string(kAsAnsi) +
                             ". " + kFindTheCode));
}

void rich_text(const BindingReadings& readings, Diagnosis& diagnosis) {
  diagnosis.findings.push_back(
      "The file is a rich-text document, as WordPad and Word save them, not plain text: the "
      "module reads its formatting codes as part of the lines and reads " +
      how_many_bound(readings) +
      ". In WordPad, save it with File > Save As > Plain text document; or copy its text into "
      "Notepad and save it there " +
      kAsAnsi + ".");
}

void hidden_break(const ProfileLine& line, const BindingReadings& readings, Diagnosis& diagnosis) {
  diagnosis.findings.push_back(
      line_at(line.number) + quoted(line.text) +
      " holds a character that some editors show as a line break, but that ends no line for "
      "the module, so it reads all of this as one line and reads " +
      how_many_bound(readings) +
      " from the file. In Notepad, put each binding on a line of its own with Enter, and save "
      "the file " +
      kAsAnsi + ".");
}

}  // namespace

bool diagnose_format(const ProfileLines& lines, const BindingReadings& readings,
                     Diagnosis& diagnosis) {
  if (first_text(lines).starts_with("{\\rtf")) {
    rich_text(readings, diagnosis);
  } else if (const std::string syntax = other_syntax(lines, readings); !syntax.empty()) {
    other_format(syntax, lines, diagnosis);
  } else if (const ProfileLine* line = line_with_hidden_break(lines)) {
    hidden_break(*line, readings, diagnosis);
  } else {
    return false;
  }
  return true;
}

}  // namespace holsterkeys
