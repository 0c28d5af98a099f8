#include "tools/check/diagnosis.h"

#include <algorithm>
#include <map>
#include <string_view>

#include "bindings/category_names.h"
#include "bindings/profile_file.h"
#include "tools/keys/key_names.h"

namespace holsterkeys {
namespace {

using Findings = std::vector<std::string>;

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string line_at(int number) { return "Line " + std::to_string(number) + ": "; }

bool names_a_key(KeyCode code) { return is_key_code(code) && !key_name(code).empty(); }

// Letters that turn one name into the other, for "did you mean".
std::size_t edit_distance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      const bool same = same_profile_name(a.substr(i - 1, 1), b.substr(j - 1, 1));
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

std::string did_you_mean(std::string_view name) {
  for (const Category& category : kCategories) {
    if (edit_distance(name, category.name) <= 3) {
      return "; did you mean " + quoted(category.name) + "?";
    }
  }
  return ".";
}

// Where the reader finds each category's entry in the file.
using Matches = std::array<ProfileMatch, kCategoryCount>;

Matches locate_categories(const ProfileLines& lines) {
  Matches matches;
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    matches[row] = locate_entry(lines, kConfigSection, kCategories[row].name);
  }
  return matches;
}

// A line of the [Bindings] section that the reader passes over.
void diagnose_section_line(const ProfileLine& line, const Matches& matches, Findings& findings) {
  if (line.kind == ProfileLine::Kind::kNoEquals) {
    findings.push_back(line_at(line.number) + quoted(line.name) +
                       " has no '=' and is ignored. Write it as category=code.");
    return;
  }
  if (line.kind != ProfileLine::Kind::kEntry) return;
  const Category* category = category_named(line.name);
  if (category == nullptr) {
    findings.push_back(line_at(line.number) + quoted(line.name) +
                       " is not a category the module reads" + did_you_mean(line.name) +
                       " The categories are " + category_names(", ") + ".");
    return;
  }
  const int counted = matches[static_cast<std::size_t>(category - kCategories.data())].entry;
  if (line.number != counted) {
    findings.push_back(line_at(line.number) + "a second " + quoted(category->name) +
                       " is ignored; the one on line " + std::to_string(counted) + " counts.");
  }
}

std::string section_names(const ProfileLines& lines) {
  std::string names;
  for (const ProfileLine& line : lines) {
    if (line.kind == ProfileLine::Kind::kSection) {
      names += (names.empty() ? " (it has [" : ", [") + std::string(line.name) + "]";
    }
  }
  return names.empty() ? names : names + ")";
}

// Findings about the file's layout: the section and the lines in it.
void diagnose_layout(const ConfigFile& file, Findings& findings) {
  if (file.text.starts_with("\xEF\xBB\xBF")) {
    findings.push_back(
        "The file starts with a UTF-8 byte-order mark, which the game's reader takes as part "
        "of the first line, so a [Bindings] header there is not seen. Save the file as ANSI, "
        "or as UTF-8 without a byte-order mark.");
  }
  const ProfileLines lines = parse_profile(file.text);
  const Matches matches = locate_categories(lines);
  const ProfileMatch& section = matches[0];
  if (section.section == 0) {
    findings.push_back("There is no [Bindings] section" + section_names(lines) +
                       ", so the module reads no binding from this file. Put a line [Bindings] "
                       "above the bindings.");
    return;
  }
  for (int number = section.section + 1; number <= section.section_end; ++number) {
    diagnose_section_line(lines[static_cast<std::size_t>(number - 1)], matches, findings);
  }
  for (std::size_t index = static_cast<std::size_t>(section.section_end); index < lines.size();
       ++index) {
    const ProfileLine& line = lines[index];
    if (line.kind == ProfileLine::Kind::kSection && same_profile_name(line.name, kConfigSection)) {
      findings.push_back(line_at(line.number) +
                         "a second [Bindings] section; only the first, on line " +
                         std::to_string(section.section) +
                         ", is read. Move these bindings into the first section.");
      return;
    }
  }
}

// Findings about one binding's text and code.
void diagnose_binding(const Category& category, const BindingReading& reading, Findings& findings) {
  const std::string name = category.name;
  const KeyCodeReading& number = reading.number;
  if (reading.text.empty()) {
    findings.push_back(
        name + " is not bound. Add a line " + name + "=code under [Bindings], for example " + name +
        "=" + hex_code(0x60 + category.slot) + " for Numpad" + std::to_string(category.slot) + ".");
  } else if (!number.has_digits) {
    const auto named = key_code_named(reading.text);
    findings.push_back(
        name + ": " + quoted(reading.text) +
        " is not a number, so it reads as 0 and never fires. " +
        (named ? "Write " + name + "=" + hex_code(*named) + " for " + key_name(*named) + "."
               : std::string("Write the key's virtual-key code, such as 0x71 for F2.")));
  } else if (number.base == 8 && number.end - number.digits > 1) {
    findings.push_back(
        name + ": " + quoted(reading.text) +
        " starts with 0, so it is read as an octal number: " + std::to_string(number.code) + " (" +
        hex_code(number.code) + "). Drop the leading 0 for a decimal number, or write it as 0x...");
  } else if (!names_a_key(number.code)) {
    findings.push_back(name + ": " + std::to_string(number.code) +
                       " is not the code of any key, so it never fires. Key codes run from "
                       "0x01 to 0xFE.");
  }
}

// Rows on one key all fire together, and the last of them wins.
void diagnose_shared_keys(const BindingReadings& readings, Findings& findings) {
  std::map<KeyCode, std::vector<std::string_view>> names_by_code;
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    const KeyCode code = readings[row].number.code;
    if (names_a_key(code)) names_by_code[code].push_back(kCategories[row].name);
  }
  for (const auto& [code, names] : names_by_code) {
    if (names.size() < 2) continue;
    findings.push_back(joined(names) + (names.size() == 2 ? " are both on " : " are all on ") +
                       hex_code(code) + " (" + key_name(code) + "): when it is pressed, " +
                       std::string(names.back()) + " wins, being last in the order " +
                       category_names(", ") + ". Give each category its own key.");
  }
}

}  // namespace

std::vector<std::string> diagnose(const ConfigFile& file, const BindingReadings& readings) {
  if (!file.found) {
    return {"There is no configuration file at " + file.location +
            ". The module reads holsterkeys.ini from the game's current directory (the folder "
            "the game is started from): put it there."};
  }
  Findings findings;
  diagnose_layout(file, findings);
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    diagnose_binding(kCategories[row], readings[row], findings);
  }
  diagnose_shared_keys(readings, findings);
  return findings;
}

}  // namespace holsterkeys
