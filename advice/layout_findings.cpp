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

// Other games' names of the categories, compared loosely and without a
// plural s; each means one category and only one.
struct OtherName {
  const char* name;
  std::size_t row;
};
constexpr OtherName kOtherGamesNames[] = {
    {"pistol", 0},     {"sidearm", 0}, {"revolver", 0}, {"lmg", 1},           {"mg", 1},
    {"hmg", 1},        {"minigun", 1}, {"smg", 2},      {"submachinegun", 2}, {"machinepistol", 2},
    {"scattergun", 3}, {"shotty", 3},  {"sniper", 4},   {"sniperrifle", 4},   {"assaultrifle", 4},
    {"ar", 4},         {"carbine", 4}, {"marksman", 4},
};

const Category* other_games_name(std::string_view typed) {
  std::string name = loose(typed);
  if (name.size() > 2 && name.ends_with('s')) name.pop_back();
  for (const OtherName& other : kOtherGamesNames) {
    if (name == other.name) return &kCategories[other.row];
  }
  return nullptr;
}

// A name that speaks of a weapon or a slot but of no one category, such as
// "weapon2" or "primary".
bool names_some_weapon(std::string_view typed) {
  const std::string name = loose(typed);
  for (const char* word : {"weapon", "slot", "gun", "wpn", "primary", "secondary"}) {
    if (name.find(word) != std::string::npos) return true;
  }
  return false;
}

// The category a mistyped name, or another game's name, means; nullptr
// when none is close.
const Category* closest_category(std::string_view typed) {
  if (const Category* other = other_games_name(typed)) return other;
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

// "handguns (slot 2), shotgun (slot 3), ...", as the game numbers them.
std::string categories_with_slots() {
  std::vector<std::string> listed;
  for (const Category* category : categories_by_slot()) {
    listed.push_back(std::string(category->name) + " (slot " + std::to_string(category->slot) +
                     ")");
  }
  return joined(listed);
}

// The line to write for a misnamed line's value: its code when it reads
// as one, with the name of the key it names as a remark; nothing when the
// value names no key.
std::optional<Proposal> value_as_code(const Category& meant, std::string_view value) {
  const std::string text(value);
  const KeyCodeReading reading = read_key_code(text.c_str());
  if (reading.has_digits && names_a_key(reading.code)) return proposal_of(meant, reading.code);
  const std::optional<KeyCode> named = key_code_named(value);
  if (!named) return std::nullopt;
  return Proposal{&meant, hex_code(*named) + " ; " + key_name(*named), *named};
}

// Following the advice must not add a second line for a category.
std::string already_set(const Category& category, const Matches& matches) {
  const int taken = matches[row_of(category)].entry;
  if (taken == 0) return {};
  return " It is set on line " + std::to_string(taken) +
         ", which counts: delete this line, or put its value there.";
}

std::string advice_for(const ProfileLine& line, const Category& meant, const Matches& matches,
                       const ProposalCheck& check, Diagnosis& diagnosis) {
  const std::string start = " Did you mean " + quoted(meant.name) + "?";
  if (const std::string taken = already_set(meant, matches); !taken.empty()) return start + taken;
  const auto proposal = value_as_code(meant, line.value);
  const std::string write =
      proposal ? offered(check, diagnosis, *proposal,
                         " Then write " + std::string(meant.name) + "=" + proposal->value + ".")
               : std::string();
  if (!write.empty()) return start + write;
  return start + " Then write " + meant.name + "= and the key's code.";
}

// A name close to a category's is a mistake; any other is a setting of
// another program, which does no harm.
void unknown_name(const ProfileLine& line, const Matches& matches, const ProposalCheck& check,
                  Diagnosis& diagnosis) {
  const Category* meant = closest_category(line.name);
  const std::string ignored = line_at(line.number) + quoted(line.name) +
                              " is not a category the module reads, so this line is ignored.";
  if (meant == nullptr && names_some_weapon(line.name)) {
    const auto proposal = value_as_code(kCategories[0], line.value);
    diagnosis.findings.push_back(
        ignored + " The categories are " + categories_with_slots() + ". Write the one you mean" +
        (proposal ? " before =" + proposal->value : std::string(", then = and the key's code")) +
        ".");
    return;
  }
  if (meant == nullptr) {
    diagnosis.notes.push_back(ignored + " The categories are " + category_names(", ") + ".");
    return;
  }
  const std::string advice = advice_for(line, *meant, matches, check, diagnosis);
  diagnosis.findings.push_back(ignored + advice + " The categories are " + category_names(", ") +
                               ".");
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

// The words of a line written in another program's syntax: "handguns ->
// 0x37", "\"handguns\": \"0x37\",", "handguns<tab>0x37", "bind F2 handguns".
std::vector<std::string_view> words_of(std::string_view text) {
  std::vector<std::string_view> words;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = std::min(text.find_first_of(" \t:,;\"'<>={}[]()|", at), text.size());
    const std::string_view word = text.substr(at, end - at);
    if (!word.empty() && word != "-" && word != "->" && word != "=>") words.push_back(word);
    at = end + 1;
  }
  return words;
}

// A word that reads as one key and one only: a number as number_key reads
// one, or a key's name.
std::optional<KeyCode> one_key(std::string_view word) {
  const std::string text(word);
  const KeyCodeReading reading = read_key_code(text.c_str());
  if (reading.has_digits && reading.end == text.size()) return number_key(word);
  return key_code_named(word);
}

// A line without '=' is ignored; one that names a category was meant as a
// binding, and the line to write carries the player's own key.
void no_equals(const ProfileLine& line, const Matches& matches, const ProposalCheck& check,
               Diagnosis& diagnosis) {
  const std::string_view first_word = line.name.substr(0, line.name.find_first_of(" \t:"));
  const auto proposal = binding_in(line.name);
  if (proposal) {
    if (const std::string taken = already_set(*proposal->category, matches); !taken.empty()) {
      diagnosis.findings.push_back(line_at(line.number) + quoted(line.name) +
                                   " has no '=' and is ignored." + taken);
      return;
    }
  }
  if (proposal || closest_category(first_word) != nullptr) {
    const std::string write =
        proposal ? offered(check, diagnosis, *proposal,
                           " Write it as " + assignment(*proposal->category, proposal->code) +
                               " for " + shown_key_name(proposal->code) + ".")
                 : std::string();
    diagnosis.findings.push_back(line_at(line.number) + quoted(line.name) +
                                 " has no '=' and is ignored." +
                                 (write.empty() ? " Write it as category=code, and the key's "
                                                  "code after the '='. " +
                                                      std::string(kFindTheCode)
                                                : write));
    return;
  }
  diagnosis.notes.push_back(line_at(line.number) + quoted(line.name) +
                            " has no '=', so the module ignores it. To keep it as a remark, "
                            "start it with ';'.");
}

// A line of the [Bindings] section that the reader passes over.
void section_line(const ProfileLine& line, const Matches& matches, const ProposalCheck& check,
                  Diagnosis& diagnosis) {
  if (line.kind != ProfileLine::Kind::kNoEquals && line.kind != ProfileLine::Kind::kEntry) return;
  if (is_decoration(line.name)) return;
  if (const std::string marker = comment_marker(line.name); !marker.empty()) {
    return other_comment(line, marker, diagnosis);
  }
  if (line.kind == ProfileLine::Kind::kNoEquals) return no_equals(line, matches, check, diagnosis);
  const Category* category = category_named(line.name);
  if (category == nullptr) return unknown_name(line, matches, check, diagnosis);
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

// Lines `from` up to `to` of the file, each with a line end.
std::string text_of(const ProfileLines& lines, std::size_t from, std::size_t to) {
  std::string text;
  for (std::size_t at = from; at < to; ++at) text.append(lines[at].text).append("\r\n");
  return text;
}

// Whether moving the lines of the section whose header is `header` under
// the first section's last line changes what the module reads: advice that
// changes nothing is not given.
bool merging_helps(const ProfileLines& lines, const ProfileMatch& first, std::size_t header) {
  std::size_t end = header + 1;
  while (end < lines.size() && lines[end].kind != ProfileLine::Kind::kSection) ++end;
  const auto first_end = static_cast<std::size_t>(first.section_end);
  const std::string merged = text_of(lines, 0, first_end) + text_of(lines, header + 1, end) +
                             text_of(lines, first_end, header) + text_of(lines, end, lines.size());
  const BindingReadings after = read_as(merged, ProfileDialect::kWine);
  const BindingReadings now = read_as(text_of(lines, 0, lines.size()), ProfileDialect::kWine);
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    if (after[row].text != now[row].text) return true;
  }
  return false;
}

// The categories that a later section sets otherwise than the lines the
// module reads: "rifle (line 6)".
std::vector<std::string> set_otherwise(const ProfileLines& lines,
                                       ProfileLines::const_iterator header,
                                       const Matches& matches) {
  std::vector<std::string> set;
  for (auto line = header + 1; line != lines.end() && line->kind != ProfileLine::Kind::kSection;
       ++line) {
    const Category* category =
        line->kind == ProfileLine::Kind::kEntry ? category_named(line->name) : nullptr;
    if (category == nullptr) continue;
    const ProfileMatch& counted = matches[row_of(*category)];
    if (counted.value != line->value) {
      set.push_back(std::string(category->name) + " (line " + std::to_string(counted.entry) + ")");
    }
  }
  return set;
}

void second_section(const ProfileLines& lines, const ProfileMatch& section, const Matches& matches,
                    bool first_header_hidden, Diagnosis& diagnosis) {
  for (auto line = lines.begin() + section.section_end; line != lines.end(); ++line) {
    if (line->kind != ProfileLine::Kind::kSection ||
        !same_profile_name(line->name, kConfigSection)) {
      continue;
    }
    const std::string first = std::to_string(section.section);
    if (first_header_hidden) {
      diagnosis.findings.push_back(
          line_at(line->number) +
          "a second [Bindings] section. Under Wine the module reads only "
          "the first, on line " +
          first + "; on Windows, which misses the header on line " + first +
          " behind the byte-order mark, it reads only this one. Put every binding you "
          "want under the first [Bindings] line, delete this one, and save the file " +
          kAsAnsi + ".");
    } else if (merging_helps(lines, section, static_cast<std::size_t>(line - lines.begin()))) {
      diagnosis.findings.push_back(line_at(line->number) +
                                   "a second [Bindings] section; only the first, on line " + first +
                                   ", is read. Move these bindings into the first section.");
    } else if (const std::vector<std::string> set = set_otherwise(lines, line, matches);
               !set.empty()) {
      diagnosis.findings.push_back(
          line_at(line->number) + "a second [Bindings] section; only the first, on line " + first +
          ", is read, and it sets " + joined(set) +
          " already. Put the values you want there, and delete this section.");
    } else {
      diagnosis.notes.push_back(line_at(line->number) +
                                "a second [Bindings] section; only the first, on line " + first +
                                ", is read, and it sets everything this one does alike. Delete "
                                "this one to keep the file clear.");
    }
    return;
  }
}

// Whether a [Bindings] line above the first line that names a category
// (or else at the top) makes the module read a binding: advice that
// changes nothing the module reads is not given.
bool a_header_helps(const ProfileLines& lines) {
  const auto first = std::find_if(lines.begin(), lines.end(), [](const ProfileLine& line) {
    return line.kind == ProfileLine::Kind::kEntry && category_named(line.name) != nullptr;
  });
  const auto above = static_cast<std::size_t>(first == lines.end() ? 0 : first - lines.begin());
  const std::string text =
      text_of(lines, 0, above) + "[Bindings]\r\n" + text_of(lines, above, lines.size());
  const BindingReadings readings = read_as(text, ProfileDialect::kWine);
  return std::any_of(readings.begin(), readings.end(),
                     [](const BindingReading& reading) { return !reading.text.empty(); });
}

}  // namespace

std::optional<KeyCode> number_key(std::string_view word) {
  const std::string text(word);
  const KeyCodeReading reading = read_key_code(text.c_str());
  const bool whole = reading.has_digits && reading.end == text.size();
  if (!whole || text.size() < 2 || reading.base == 8 || !names_a_key(reading.code)) {
    return std::nullopt;
  }
  return reading.code;
}

std::optional<Proposal> binding_in(std::string_view text) {
  const Category* category = nullptr;
  std::optional<KeyCode> code;
  for (std::string_view word : words_of(text)) {
    if (const Category* named = closest_category(word); named != nullptr && category == nullptr) {
      category = named;
    } else if (const auto key = one_key(word)) {
      if (code && *code != *key) return std::nullopt;
      code = key;
    }
  }
  if (category == nullptr || !code) return std::nullopt;
  return proposal_of(*category, *code);
}

void diagnose_layout(const ProfileLines& lines, const Matches& matches, bool first_header_hidden,
                     const ProposalCheck& check, Diagnosis& diagnosis) {
  const ProfileMatch& section = matches[0];
  if (section.section == 0) {
    diagnosis.findings.push_back("There is no [Bindings] section" + section_names(lines) +
                                 ", so the module reads no binding from this file." +
                                 (a_header_helps(lines) ? " Put a line [Bindings] above the "
                                                          "bindings."
                                                        : ""));
    return;
  }
  for (int number = section.section + 1; number <= section.section_end; ++number) {
    section_line(lines[static_cast<std::size_t>(number - 1)], matches, check, diagnosis);
  }
  second_section(lines, section, matches, first_header_hidden, diagnosis);
}

}  // namespace holsterkeys
