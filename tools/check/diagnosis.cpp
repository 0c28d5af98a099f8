#include "tools/check/diagnosis.h"

#include <algorithm>
#include <map>
#include <string_view>

#include "bindings/profile_file.h"
#include "tools/check/key_names.h"

namespace holsterkeys {
namespace {

constexpr char kRowOrder[] = "handguns, machineguns, submachine, shotgun, rifle";

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string line_at(int number) { return "Line " + std::to_string(number) + ": "; }

// The text after blanks and a sign, where the digits of a number start.
std::string_view number_part(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t\n\v\f\r");
  if (start == std::string_view::npos) return {};
  text.remove_prefix(start);
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  return text;
}

bool starts_with_digit(std::string_view text) {
  return !text.empty() && text.front() >= '0' && text.front() <= '9';
}

bool names_a_key(KeyCode code) { return code > 0 && code < 0xFF && !key_name(code).empty(); }

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

const Binding* binding_named(std::string_view key) {
  for (const Binding& binding : kBindings) {
    if (same_profile_name(binding.key, key)) return &binding;
  }
  return nullptr;
}

std::string did_you_mean(std::string_view key) {
  for (const Binding& binding : kBindings) {
    if (edit_distance(key, binding.key) <= 3) return "; did you mean " + quoted(binding.key) + "?";
  }
  return ".";
}

// Findings about the file's layout: the section and the lines in it.
void diagnose_layout(const ConfigFile& file, std::vector<std::string>& findings) {
  if (file.text.starts_with("\xEF\xBB\xBF")) {
    findings.push_back(
        "The file starts with a UTF-8 byte-order mark, which the game's reader takes as part "
        "of the first line, so a [Bindings] header there is not seen. Save the file as ANSI, "
        "or as UTF-8 without a byte-order mark.");
  }
  int section_line = 0;
  bool in_bindings = false;
  std::string other_sections;
  std::map<const Binding*, int> first_line;
  for (const ProfileLine& line : parse_profile(file.text)) {
    if (line.kind == ProfileLine::Kind::kSection) {
      in_bindings = same_profile_name(line.name, kConfigSection);
      if (!in_bindings) {
        other_sections += (other_sections.empty() ? " (it has [" : ", [") + std::string(line.name) + "]";
        continue;
      }
      if (section_line != 0) {
        findings.push_back(line_at(line.number) +
                           "a second [Bindings] section; only the first, on line " +
                           std::to_string(section_line) +
                           ", is read. Move these bindings into the first section.");
        return;
      }
      section_line = line.number;
    } else if (in_bindings && line.kind == ProfileLine::Kind::kNoEquals) {
      findings.push_back(line_at(line.number) + quoted(line.name) +
                         " has no '=' and is ignored. Write it as key=code.");
    } else if (in_bindings && line.kind == ProfileLine::Kind::kEntry) {
      const Binding* binding = binding_named(line.name);
      if (binding == nullptr) {
        findings.push_back(line_at(line.number) + quoted(line.name) +
                           " is not a key the module reads" + did_you_mean(line.name) +
                           " The keys are " + kRowOrder + ".");
      } else if (first_line.contains(binding)) {
        findings.push_back(line_at(line.number) + "a second " + quoted(binding->key) +
                           " is ignored; the one on line " +
                           std::to_string(first_line[binding]) + " counts.");
      } else {
        first_line[binding] = line.number;
      }
    }
  }
  if (section_line == 0) {
    if (!other_sections.empty()) other_sections += ")";
    findings.push_back("There is no [Bindings] section" + other_sections +
                       ", so the module reads no binding from this file. Put a line [Bindings] "
                       "above the bindings.");
  }
}

// Findings about one binding's text and code.
void diagnose_binding(const Binding& binding, const BindingReading& reading,
                      std::vector<std::string>& findings) {
  const std::string key = binding.key;
  const std::string_view digits = number_part(reading.text);
  if (reading.text.empty()) {
    findings.push_back(key + " is not bound. Add a line " + key +
                       "=code under [Bindings], for example " + key + "=" +
                       hex_code(0x60 + binding.slot) + " for Numpad" + std::to_string(binding.slot) +
                       ".");
  } else if (!starts_with_digit(digits)) {
    const auto named = key_code_named(reading.text);
    findings.push_back(
        key + ": " + quoted(reading.text) +
        " is not a number, so it reads as 0 and never fires. " +
        (named ? "Write " + key + "=" + hex_code(*named) + " for " + key_name(*named) + "."
               : std::string("Write the key's virtual-key code, such as 0x71 for F2.")));
  } else if (digits.size() > 1 && digits[0] == '0' && starts_with_digit(digits.substr(1))) {
    findings.push_back(key + ": " + quoted(reading.text) +
                       " starts with 0, so it is read as an octal number: " +
                       std::to_string(reading.code) + " (" + hex_code(reading.code) +
                       "). Drop the leading 0 for a decimal number, or write it as 0x...");
  } else if (!names_a_key(reading.code)) {
    findings.push_back(key + ": " + std::to_string(reading.code) +
                       " is not the code of any key, so it never fires. Key codes run from "
                       "0x01 to 0xFE.");
  }
}

// Rows on one key all fire together, and the last of them wins.
void diagnose_shared_keys(const BindingReadings& readings, std::vector<std::string>& findings) {
  std::map<KeyCode, std::vector<std::size_t>> rows_by_code;
  for (std::size_t row = 0; row < kBindingCount; ++row) {
    if (names_a_key(readings[row].code)) rows_by_code[readings[row].code].push_back(row);
  }
  for (const auto& [code, rows] : rows_by_code) {
    if (rows.size() < 2) continue;
    std::string names;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      names += (i == 0 ? "" : i + 1 == rows.size() ? " and " : ", ");
      names += kBindings[rows[i]].key;
    }
    findings.push_back(names + (rows.size() == 2 ? " are both on " : " are all on ") + hex_code(code) + " (" + key_name(code) +
                       "): when it is pressed, " + kBindings[rows.back()].key +
                       " wins, being last in the order " + kRowOrder +
                       ". Give each category its own key.");
  }
}

}  // namespace

std::vector<std::string> diagnose(const ConfigFile& file, const BindingReadings& readings) {
  if (!file.found) {
    return {"There is no configuration file at " + file.location +
            ". The module reads holsterkeys.ini from the game's current directory (the folder "
            "the game is started from): put it there."};
  }
  std::vector<std::string> findings;
  diagnose_layout(file, findings);
  for (std::size_t row = 0; row < kBindingCount; ++row) {
    diagnose_binding(kBindings[row], readings[row], findings);
  }
  diagnose_shared_keys(readings, findings);
  return findings;
}

}  // namespace holsterkeys
