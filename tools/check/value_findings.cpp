// Findings about each binding's value: what the module reads from it, and
// what the player most likely meant instead.
#include <cctype>
#include <map>

#include "bindings/category_names.h"
#include "tools/check/findings.h"
#include "tools/keys/key_names.h"

namespace holsterkeys {
namespace {

bool names_a_key(KeyCode code) { return is_key_code(code) && !key_name(code).empty(); }

std::string example_for(const Category& category) {
  const KeyCode code = suggested_code(category);
  return "for example " + assignment(category, code) + " for " + key_name(code);
}

// Reading that stops at the end, a blank or a ';' leaves a remark behind,
// nothing that was meant as part of the number.
bool ends_cleanly(const std::string& text, std::size_t at) {
  return at >= text.size() || text[at] == ' ' || text[at] == '\t' || text[at] == ';';
}

// A character as a sentence names it.
std::string character(char c) {
  if (c == ' ') return "the blank";
  if (c == '\t') return "the tab";
  if (c == '"') return "the quotation mark \"";
  if (c == '\'') return "the apostrophe '";
  return "the character " + quoted(std::string(1, c));
}

// The value with everything but letters and digits taken out, when that
// reads as a key: "0x 65" and "\"0x64'" were meant as 0x65 and 0x64.
std::string meant_value(const Category& category, const std::string& text) {
  std::string kept;
  for (char c : text) {
    if (std::isalnum(static_cast<unsigned char>(c))) kept.push_back(c);
  }
  const KeyCodeReading reading = read_key_code(kept.c_str());
  if (!reading.has_digits || reading.end != kept.size() || !names_a_key(reading.code)) return ".";
  return ". Write " + assignment(category, reading.code) + ".";
}

void unbound(const Category& category, const ProfileMatch& match, Diagnosis& diagnosis) {
  const std::string name = category.name;
  if (match.entry == 0) {
    diagnosis.findings.push_back(name + " is not bound: there is no " + name +
                                 " line under [Bindings]. Add one, " + example_for(category) + ".");
  } else if (match.value.empty()) {
    diagnosis.notes.push_back(
        name + " is left unbound: its line " + std::to_string(match.entry) +
        " has no value, so no key selects it. To bind it, write a key's code there, " +
        example_for(category) + ".");
  } else {
    diagnosis.findings.push_back(name +
                                 " is not bound here: this system's reader does not see "
                                 "line " +
                                 std::to_string(match.entry) +
                                 " (see the finding about the file's encoding).");
  }
}

// A key's name, a word or a stray character where the number should start.
void no_number(const Category& category, const BindingReading& reading, Diagnosis& diagnosis) {
  const std::string name = category.name;
  const char first = reading.text[reading.number.digits];
  const std::string start = name + ": " + quoted(reading.text) + " is not a number";
  if (!std::isalpha(static_cast<unsigned char>(first))) {
    diagnosis.findings.push_back(start + ": the module stops reading at " + character(first) +
                                 " and reads 0, so " + name + " never fires" +
                                 meant_value(category, reading.text));
    return;
  }
  const auto named = key_code_named(reading.text);
  diagnosis.findings.push_back(
      start + ", so it reads as 0 and never fires. " +
      (named ? "Write " + name + "=" + hex_code(*named) + " for " + key_name(*named) + "."
             : std::string("Write the key's virtual-key code, such as 0x71 for F2.")));
}

// A lone digit is a key code, not the digit's key: "2" is the right mouse
// button, and the 2 key is 0x32.
void lone_digit(const Category& category, const BindingReading& reading, Diagnosis& diagnosis) {
  const KeyCode code = reading.number.code;
  const std::string digit = std::to_string(code);
  const std::string key = key_in_words(code);
  const std::string danger = fire_or_aim(code, category);
  std::string finding = std::string(category.name) + ": " + digit + " is the code of " +
                        (key.empty() ? "no key" : key) + ", not of the " + digit + " key" +
                        (danger.empty() ? "" : ": " + danger) + ". For the " + digit +
                        " key write " + assignment(category, '0' + code);
  if (code >= 4 && code <= 6) {
    finding += "; for " + key + " write " + assignment(category, code) + ", which says so plainly";
  }
  diagnosis.findings.push_back(finding + ".");
}

// "010" is octal 8, and "08" stops at the 8, which is no octal digit.
bool is_octal_trap(const KeyCodeReading& number, const std::string& text) {
  const char after = text[number.end];
  return number.base == 8 && (number.end - number.digits > 1 || after == '8' || after == '9');
}

void octal(const Category& category, const BindingReading& reading, Diagnosis& diagnosis) {
  const KeyCode code = reading.number.code;
  diagnosis.findings.push_back(
      std::string(category.name) + ": " + quoted(reading.text) +
      " starts with 0, so it is read as an octal number: " + std::to_string(code) + " (" +
      hex_code(code) + "). Drop the leading 0 for a decimal number, or write it as 0x...");
}

// Where reading stopped short of a key: "0x 65" stops at the blank.
void not_a_key(const Category& category, const BindingReading& reading, Diagnosis& diagnosis) {
  const std::string& text = reading.text;
  const KeyCodeReading& number = reading.number;
  std::size_t stop = number.end;
  const bool bare_prefix = stop > 0 && (text[stop] == 'x' || text[stop] == 'X');
  if (bare_prefix) ++stop;
  if (!bare_prefix && ends_cleanly(text, stop)) {
    diagnosis.findings.push_back(std::string(category.name) + ": " + std::to_string(number.code) +
                                 " is not the code of any key, so it never fires. Key codes run "
                                 "from 0x01 to 0xFE.");
    return;
  }
  diagnosis.findings.push_back(std::string(category.name) + ": in " + quoted(text) +
                               " the module stops reading at " + character(text[stop]) +
                               (bare_prefix ? " after \"0x\"" : "") + " and reads " +
                               std::to_string(number.code) + ", so " + category.name +
                               " never fires" + meant_value(category, text));
}

void value(const Category& category, const BindingReading& reading, const ProfileMatch& match,
           Diagnosis& diagnosis) {
  const KeyCodeReading& number = reading.number;
  if (reading.text.empty()) return unbound(category, match, diagnosis);
  if (!number.has_digits) return no_number(category, reading, diagnosis);
  if (number.digits == 0 && number.end == 1 && ends_cleanly(reading.text, 1)) {
    return lone_digit(category, reading, diagnosis);
  }
  if (const std::string danger = fire_or_aim(number.code, category); !danger.empty()) {
    diagnosis.findings.push_back(std::string(category.name) + ": " + quoted(reading.text) + " is " +
                                 key_in_words(number.code) + ": " + danger +
                                 ". Pick another key, " + example_for(category) + ".");
    return;
  }
  if (is_octal_trap(number, reading.text)) return octal(category, reading, diagnosis);
  if (!names_a_key(number.code)) not_a_key(category, reading, diagnosis);
}

// Rows on one key all fire together, and the last of them wins.
void shared_keys(const BindingReadings& readings, Diagnosis& diagnosis) {
  std::map<KeyCode, std::vector<std::string_view>> names_by_code;
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    const KeyCode code = readings[row].number.code;
    if (names_a_key(code)) names_by_code[code].push_back(kCategories[row].name);
  }
  for (const auto& [code, names] : names_by_code) {
    if (names.size() < 2) continue;
    diagnosis.findings.push_back(
        joined(names) + (names.size() == 2 ? " are both on " : " are all on ") + hex_code(code) +
        " (" + key_name(code) + "): when it is pressed, " + std::string(names.back()) +
        " wins, being last in the order " + category_names(", ") +
        ". Give each category its own key.");
  }
}

}  // namespace

std::string fire_or_aim(KeyCode code, const Category& category) {
  const std::string name = category.name;
  if (code == 0x01) return "it fires, so every shot would also switch to " + name;
  if (code == 0x02) return "it aims, so every time you aim the game would switch to " + name;
  return {};
}

KeyCode suggested_code(const Category& category) { return 0x60 + category.slot; }

void diagnose_values(const BindingReadings& readings, const Matches& matches,
                     Diagnosis& diagnosis) {
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    value(kCategories[row], readings[row], matches[row], diagnosis);
  }
  shared_keys(readings, diagnosis);
}

}  // namespace holsterkeys
