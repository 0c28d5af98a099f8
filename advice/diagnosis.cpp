// The checker's findings: first whether the file can be read at all, then
// how Windows and Wine read its encoding, then its lines and its values.
#include "advice/diagnosis.h"

#include <algorithm>

#include "advice/findings.h"
#include "advice/visible_text.h"
#include "bindings/category_names.h"
#include "keys/key_names.h"

namespace holsterkeys {
namespace {

constexpr char kModuleReads[] =
    "The module reads holsterkeys.ini from the game's current directory (the folder the game is "
    "started from)";

// Findings when there is nothing to read; none when the file was read.
std::vector<std::string> unread_file(const ConfigFile& file) {
  switch (file.state) {
    case ConfigFile::State::kRead:
      return {};
    case ConfigFile::State::kFolder:
      return {file.location +
              " is a folder, not a file, so the module reads no binding. Rename "
              "or remove that folder, then put your holsterkeys.ini file there."};
    case ConfigFile::State::kUnreadable:
      return {file.location + " is there, but it cannot be read: " + file.reason};
    case ConfigFile::State::kMissing:
      break;
  }
  if (!file.similar.empty()) {
    // Quotes show a blank at the end of the name.
    const bool plain = visible(file.similar) == file.similar && !file.similar.ends_with(' ');
    return {"There is no holsterkeys.ini in " + folder_of(file.location) + ", but there is " +
            (plain ? file.similar : quoted(file.similar)) + ". " + near_miss(file.similar) +
            " Rename it to exactly holsterkeys.ini (in File Explorer, turn on View > File name "
            "extensions first)."};
  }
  return {"There is no configuration file at " + file.location + ". " + kModuleReads +
          ": put it there."};
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

// The edit that leaves Windows and Wine reading the same bindings.
std::string edit_for_both(const ProfileLines& lines) {
  const std::string the_file =
      std::string(" the file ") + kAsAnsi + ", which Windows and Wine read alike.";
  const int second = second_header(lines);
  if (second == 0) return " Save" + the_file;
  return " Put every binding you want under the first [Bindings] line, delete the second one "
         "(line " +
         std::to_string(second) + "), and save" + the_file;
}

// Windows and Wine read a UTF-8 byte-order mark and UTF-16 big-endian
// differently; that matters only where it changes what the module reads.
// `meant` is the file as Wine reads it.
bool encoding(const std::string& bytes, const ProfileBytes& meant, Diagnosis& diagnosis) {
  if (dialects_read_alike(bytes)) return false;
  const BindingReadings windows = read_as(bytes, ProfileDialect::kWindows);
  const BindingReadings wine = read_bindings(meant);
  if (same_texts(windows, wine)) return false;
  const bool utf8 = bytes.starts_with(kUtf8Mark);
  diagnosis.findings.push_back(
      std::string("The file is saved as ") +
      (utf8 ? "UTF-8 with a byte-order mark, an invisible mark at its start. Windows reads the "
              "mark as part of the first line, so the module there does not see that line"
            : "UTF-16 big-endian (\"Unicode big endian\"), which the Windows reader does not "
              "understand") +
      " and reads " + how_many_bound(windows) + "; under Wine it reads " + how_many_bound(wine) +
      "." + edit_for_both(meant.lines()));
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

std::string listed(const std::vector<std::string>& items, const char* one, const char* many) {
  if (items.empty()) return {};
  std::string list =
      "\n" + std::to_string(items.size()) + " " + (items.size() == 1 ? one : many) + ":\n";
  for (const std::string& item : items) list += "- " + item + "\n";
  return list;
}

// Bound to a key, not left empty or off on purpose.
bool all_bound(const BindingReadings& readings) {
  return std::all_of(readings.begin(), readings.end(), [](const BindingReading& reading) {
    return is_key_code(reading.number.code);
  });
}

}  // namespace

std::string how_many_bound(const BindingReadings& readings) {
  std::size_t count = 0;
  for (const BindingReading& reading : readings) count += reading.text.empty() ? 0 : 1;
  if (count == 0) return "none of the bindings";
  if (count == kCategoryCount) return "all five bindings";
  return std::to_string(count) + " of the five bindings";
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

void set_status(Diagnosis& diagnosis, const Category& category, std::string words) {
  std::string& status = diagnosis.status[row_of(category)];
  if (status.empty()) status = std::move(words);
}

std::string quoted(std::string_view text) {
  const std::string codes = typed_codes(text);
  return "\"" + visible(text) + "\"" + (codes.empty() ? "" : " (" + codes + ")");
}

std::string line_at(int number) { return "Line " + std::to_string(number) + ": "; }

std::string assignment(const Category& category, KeyCode code) {
  return std::string(category.name) + "=" + hex_code(code);
}

Proposal proposal_of(const Category& category, KeyCode code) {
  return {&category, hex_code(code), code};
}

std::string findings_text(const BindingReadings& readings, const Diagnosis& diagnosis) {
  std::string text =
      listed(diagnosis.findings, "finding", "findings") + listed(diagnosis.notes, "note", "notes");
  if (diagnosis.findings.empty()) {
    text += all_bound(readings) ? "\nAll five bindings are usable.\n"
                                : "\nEvery bound category is usable.\n";
  }
  return text;
}

// A diagnosis that proposes nothing needs no proofs; otherwise it is made
// again with each proposal judged against the first.
Diagnosis diagnose(const ConfigFile& file, const BindingReadings& readings) {
  Diagnosis unproven = diagnose_with(file, readings, ProposalCheck());
  if (unproven.proposed.empty()) return unproven;
  return diagnose_with(file, readings, ProposalCheck(file, unproven));
}

Diagnosis diagnose_with(const ConfigFile& file, const BindingReadings& readings,
                        const ProposalCheck& check) {
  Diagnosis diagnosis;
  diagnosis.findings = unread_file(file);
  diagnose_nearby(file, diagnosis);
  if (file.state != ConfigFile::State::kMissing && !is_module_file_name(file_name(file.location))) {
    diagnosis.notes.push_back(
        "The module reads only a file named holsterkeys.ini; this one takes "
        "effect once it is saved under that name in the game's folder.");
  }
  if (file.state != ConfigFile::State::kRead) return diagnosis;
  if (is_unmarked_utf16(file.bytes)) {
    diagnosis.findings.push_back(
        "The file is saved as UTF-16 (\"Unicode\") without a byte-order mark, which neither "
        "Windows nor Wine reads as text, so the module reads no binding from it. Save it " +
        std::string(kAsAnsi) + ".");
    return diagnosis;
  }
  // The lines as the file was meant, which is how Wine reads them; where
  // Windows reads them otherwise, the encoding finding says so.
  const ProfileBytes meant(file.bytes, ProfileDialect::kWine);
  const ProfileLines& lines = meant.lines();
  const bool encoding_found = encoding(file.bytes, meant, diagnosis);
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

}  // namespace holsterkeys
