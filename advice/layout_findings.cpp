// Findings about the file's lines: the [Bindings] section, the lines in it
// that the reader passes over, and a second section it never reaches.
#include <algorithm>
#include <cctype>
#include <optional>
#include <tuple>
#include <vector>

#include "advice/config_file.h"
#include "advice/findings.h"
#include "advice/loose_names.h"
#include "advice/visible_text.h"
#include "bindings/category_names.h"
#include "keys/key_names.h"

namespace holsterkeys {
namespace {

// How close a typed name is to a category's: one name holding the other
// counts first, then a longer shared beginning, then fewer edits.
struct Closeness {
  bool holds;
  std::size_t shared_start;
  std::size_t edits;
  auto key() const { return std::make_tuple(!holds, -static_cast<long>(shared_start), edits); }
};

std::optional<Closeness> closeness(const std::string& typed, const std::string& name) {
  const std::string& shorter = typed.size() < name.size() ? typed : name;
  const bool holds = shorter.size() >= 4 && (typed.find(name) != std::string::npos ||
                                             name.find(typed) != std::string::npos);
  const std::size_t edits = edit_distance(typed, name);
  if (!holds && edits > 2) return std::nullopt;
  const auto differ = std::mismatch(typed.begin(), typed.end(), name.begin(), name.end());
  return Closeness{holds, static_cast<std::size_t>(differ.first - typed.begin()), edits};
}

// The category a mistyped name means; nullptr when none is close.
const Category* closest_category(std::string_view typed) {
  const Category* best = nullptr;
  std::optional<Closeness> best_closeness;
  for (const Category& category : kCategories) {
    const auto close = closeness(loose(typed), loose(category.name));
    if (close && (!best_closeness || close->key() < best_closeness->key())) {
      best = &category;
      best_closeness = close;
    }
  }
  return best;
}

// The value to write for a misnamed line: its code when it reads as one,
// the code of the key it names, or nothing.
std::string value_as_code(std::string_view value) {
  const std::string text(value);
  const KeyCodeReading reading = read_key_code(text.c_str());
  if (reading.has_digits && names_a_key(reading.code)) return hex_code(reading.code);
  const std::optional<KeyCode> named = key_code_named(value);
  return named ? hex_code(*named) + " ; " + key_name(*named) : std::string();
}

// Following the advice must not add a second line for a category.
std::string advice_for(const ProfileLine& line, const Category& meant, const Matches& matches) {
  const int taken = matches[row_of(meant)].entry;
  const std::string start = " Did you mean " + quoted(meant.name) + "?";
  if (taken != 0) {
    return start + " It is set on line " + std::to_string(taken) +
           ", which counts: delete this line, or put its value there.";
  }
  const std::string value = value_as_code(line.value);
  if (value.empty()) return start + " Then write " + meant.name + "= and the key's code.";
  return start + " Then write " + meant.name + "=" + value + ".";
}

// A name close to a category's is a mistake; any other is a setting of
// another program, which does no harm.
void unknown_name(const ProfileLine& line, const Matches& matches, Diagnosis& diagnosis) {
  const Category* meant = closest_category(line.name);
  const std::string ignored = line_at(line.number) + quoted(line.name) +
                              " is not a category the module reads, so this line is ignored.";
  if (meant == nullptr) {
    diagnosis.notes.push_back(ignored + " The categories are " + category_names(", ") + ".");
    return;
  }
  diagnosis.findings.push_back(ignored + advice_for(line, *meant, matches) +
                               " The categories are " + category_names(", ") + ".");
}

// How other files start their comments: "# ...", "// ...", "REM ...".
std::string comment_marker(std::string_view text) {
  for (std::string_view marker : {"#", "//", "--", "::"}) {
    if (text.starts_with(marker)) return std::string(marker);
  }
  const bool rem = text.size() >= 3 && lowercase(std::string(text.substr(0, 3))) == "rem" &&
                   (text.size() == 3 || text[3] == ' ' || text[3] == '\t');
  return rem ? std::string(text.substr(0, 3)) : std::string();
}

// Only ';' starts a comment; a line like "// my keys" is read as something
// else, which the module ignores all the same.
void other_comment(const ProfileLine& line, const std::string& marker, Diagnosis& diagnosis) {
  const std::string read_as = line.kind == ProfileLine::Kind::kEntry
                                  ? "an entry named " + quoted(line.name)
                                  : std::string("a line without '='");
  diagnosis.notes.push_back(
      line_at(line.number) + quoted(line.text) + " starts with '" + visible(marker) + "'" +
      ", but only ';' starts a comment. The module reads this line as " + read_as +
      " and ignores it. To keep it as a comment, start it with ';'.");
}

// Rules, a Ctrl-Z at the end or the NUL bytes a crash leaves: no letter or
// digit, nothing the module could take for a binding.
bool is_decoration(std::string_view text) {
  return std::none_of(text.begin(), text.end(),
                      [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

// A line without '=' is ignored; one that starts with a category's name was
// meant as a binding.
void no_equals(const ProfileLine& line, Diagnosis& diagnosis) {
  const std::string_view first_word = line.name.substr(0, line.name.find_first_of(" \t:"));
  if (closest_category(first_word) != nullptr) {
    diagnosis.findings.push_back(line_at(line.number) + quoted(line.name) +
                                 " has no '=' and is ignored. Write it as category=code, such as "
                                 "rifle=0x66.");
    return;
  }
  diagnosis.notes.push_back(line_at(line.number) + quoted(line.name) +
                            " has no '=', so the module ignores it. To keep it as a remark, "
                            "start it with ';'.");
}

// A line of the [Bindings] section that the reader passes over.
void section_line(const ProfileLine& line, const Matches& matches, Diagnosis& diagnosis) {
  if (line.kind != ProfileLine::Kind::kNoEquals && line.kind != ProfileLine::Kind::kEntry) return;
  if (is_decoration(line.name)) return;
  if (const std::string marker = comment_marker(line.name); !marker.empty()) {
    return other_comment(line, marker, diagnosis);
  }
  if (line.kind == ProfileLine::Kind::kNoEquals) return no_equals(line, diagnosis);
  const Category* category = category_named(line.name);
  if (category == nullptr) return unknown_name(line, matches, diagnosis);
  const int counted = matches[row_of(*category)].entry;
  if (line.number != counted) {
    diagnosis.findings.push_back(line_at(line.number) + "a second " + quoted(category->name) +
                                 " is ignored; the one on line " + std::to_string(counted) +
                                 " counts. Delete the line you do not want.");
  }
}

std::string section_names(const ProfileLines& lines) {
  std::string listed;
  for (const ProfileLine& line : lines) {
    if (line.kind != ProfileLine::Kind::kSection) continue;
    listed += (listed.empty() ? "[" : ", [") + visible(line.name) + "]";
  }
  return listed.empty() ? "" : " (it has " + listed + ")";
}

void second_section(const ProfileLines& lines, const ProfileMatch& section,
                    bool first_header_hidden, Diagnosis& diagnosis) {
  for (auto line = lines.begin() + section.section_end; line != lines.end(); ++line) {
    if (line->kind != ProfileLine::Kind::kSection ||
        !same_profile_name(line->name, kConfigSection)) {
      continue;
    }
    const std::string first = std::to_string(section.section);
    diagnosis.findings.push_back(
        line_at(line->number) + "a second [Bindings] section" +
        (first_header_hidden
             ? ". Under Wine the module reads only the first, on line " + first +
                   "; on Windows, which misses the header on line " + first +
                   " behind the byte-order mark, it reads only this one. Put every binding you "
                   "want under the first [Bindings] line, delete this one, and save the file " +
                   kAsAnsi + "."
             : "; only the first, on line " + first +
                   ", is read. Move these bindings into the first section."));
    return;
  }
}

}  // namespace

void diagnose_layout(const ProfileLines& lines, const Matches& matches, bool first_header_hidden,
                     Diagnosis& diagnosis) {
  const ProfileMatch& section = matches[0];
  if (section.section == 0) {
    diagnosis.findings.push_back("There is no [Bindings] section" + section_names(lines) +
                                 ", so the module reads no binding from this file. Put a line "
                                 "[Bindings] above the bindings.");
    return;
  }
  for (int number = section.section + 1; number <= section.section_end; ++number) {
    section_line(lines[static_cast<std::size_t>(number - 1)], matches, diagnosis);
  }
  second_section(lines, section, first_header_hidden, diagnosis);
}

}  // namespace holsterkeys
