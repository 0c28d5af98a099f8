// The checker's findings: first whether the file can be read at all, then
// how Windows and Wine read its encoding, then its lines and its values.
#include "tools/check/diagnosis.h"

#include "tools/check/findings.h"
#include "tools/keys/key_names.h"

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
    return {"There is no holsterkeys.ini in " + folder_of(file.location) + ", but there is " +
            file.similar +
            ". Windows hides known file extensions, so File Explorer may show it "
            "as \"holsterkeys\" or \"holsterkeys.ini\". Rename it to exactly holsterkeys.ini (in "
            "File Explorer, turn on View > File name extensions first)."};
  }
  return {"There is no configuration file at " + file.location + ". " + kModuleReads +
          ": put it there."};
}

std::size_t bound_count(const BindingReadings& readings) {
  std::size_t count = 0;
  for (const BindingReading& reading : readings) count += reading.text.empty() ? 0 : 1;
  return count;
}

std::string how_many(std::size_t count) {
  if (count == 0) return "none of the bindings";
  if (count == kCategoryCount) return "all five bindings";
  return std::to_string(count) + " of the five bindings";
}

BindingReadings read_as(const std::string& bytes, ProfileDialect dialect) {
  const ProfileBytes reader(bytes, dialect);
  return read_bindings(reader);
}

bool same_texts(const BindingReadings& a, const BindingReadings& b) {
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    if (a[row].text != b[row].text) return false;
  }
  return true;
}

// Windows and Wine read a UTF-8 byte-order mark and UTF-16 big-endian
// differently; that matters only where it changes what the module reads.
void encoding(const std::string& bytes, Diagnosis& diagnosis) {
  const BindingReadings windows = read_as(bytes, ProfileDialect::kWindows);
  const BindingReadings wine = read_as(bytes, ProfileDialect::kWine);
  if (same_texts(windows, wine)) return;
  const bool utf8 = bytes.starts_with(kUtf8Mark);
  diagnosis.findings.push_back(
      std::string("The file is saved as ") +
      (utf8 ? "UTF-8 with a byte-order mark, an invisible mark at its start. Windows reads the "
              "mark as part of the first line, so the module there does not see that line"
            : "UTF-16 big-endian (\"Unicode big endian\"), which the Windows reader does not "
              "understand") +
      " and reads " + how_many(bound_count(windows)) + "; under Wine it reads " +
      how_many(bound_count(wine)) +
      ". Save the file as ANSI (in Notepad: File > Save As, Encoding: ANSI), which Windows and "
      "Wine read alike.");
}

}  // namespace

bool readers_disagree(const std::string& bytes) {
  return !same_texts(read_as(bytes, ProfileDialect::kWindows),
                     read_as(bytes, ProfileDialect::kWine));
}

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string line_at(int number) { return "Line " + std::to_string(number) + ": "; }

std::string assignment(const Category& category, KeyCode code) {
  return std::string(category.name) + "=" + hex_code(code);
}

Diagnosis diagnose(const ConfigFile& file, const BindingReadings& readings) {
  Diagnosis diagnosis{unread_file(file), {}};
  if (!is_module_file_name(file_name(file.location))) {
    diagnosis.notes.push_back(
        "The module reads only a file named holsterkeys.ini; this one takes "
        "effect once it is saved under that name in the game's folder.");
  }
  if (file.state != ConfigFile::State::kRead) return diagnosis;
  encoding(file.bytes, diagnosis);
  // The lines as the file was meant, which is how Wine reads them; where
  // Windows reads them otherwise, the encoding finding says so.
  const std::string text = profile_text(file.bytes, ProfileDialect::kWine);
  const ProfileLines lines = parse_profile(text);
  Matches matches;
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    matches[row] = locate_entry(lines, kConfigSection, kCategories[row].name);
  }
  diagnose_layout(lines, matches, diagnosis);
  diagnose_values(readings, matches, diagnosis);
  return diagnosis;
}

}  // namespace holsterkeys
