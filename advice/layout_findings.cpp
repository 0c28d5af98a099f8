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
#include "bindings/category_names.h"
#include "keys/key_names.h"
#include "keys/player_text.h"

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
  const char* category;
};
constexpr OtherName kOtherGamesNames[] = {
    {"pistol", "handguns"},
    {"sidearm", "handguns"},
    {"revolver", "handguns"},
    {"lmg", "machineguns"},
    {"mg", "machineguns"},
    {"hmg", "machineguns"},
    {"minigun", "machineguns"},
    {"smg", "submachine"},
    {"submachinegun", "submachine"},
    {"machinepistol", "submachine"},
    {"scattergun", "shotgun"},
    {"shotty", "shotgun"},
    {"sniper", "rifle"},
    {"sniperrifle", "rifle"},
    {"assaultrifle", "rifle"},
    {"ar", "rifle"},
    {"carbine", "rifle"},
    {"marksman", "rifle"},
};

const Category* other_games_name(std::string_view typed) {
  std::string name = loose(typed);
  if (name.size() > 2 && name.ends_with('s')) name.pop_back();
  for (const OtherName& other : kOtherGamesNames) {
    if (name == other.name) return category_named(other.category);
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

Finding about_line(FindingKind kind, const ProfileLine& line) {
  Finding finding{kind};
  finding.line = line.number;
  return finding;
}

// One line of the [Bindings] section, with what every rule over it works
// with: where each category's entry is, and the check of proposed lines.
struct SectionLine {
  const ProfileLine& line;
  const Matches& matches;
  const ProposalCheck& check;
};

// A name close to a category's is a mistake; any other is a setting of
// another program, which does no harm.
std::optional<Finding> find_unknown_name(const SectionLine& at) {
  const ProfileLine& line = at.line;
  const Category* meant = closest_category(line.name);
  Finding finding = about_line(FindingKind::kUnknownName, line);
  finding.name = line.name;
  if (meant == nullptr && names_some_weapon(line.name)) {
    finding.kind = FindingKind::kUnknownWeaponName;
    if (const auto proposal = value_as_code(kCategories[0], line.value)) {
      finding.text = proposal->value;
    }
  } else if (meant != nullptr) {
    // Following the advice must not add a second line for a category.
    finding.kind = FindingKind::kMisnamedCategory;
    finding.category = meant;
    finding.other_line = at.matches[row_of(*meant)].entry;
    const auto proposal = value_as_code(*meant, line.value);
    if (finding.other_line == 0 && proposal) offer(at.check, finding, *proposal);
  }
  return finding;
}

// How other files start their comments: "# ...", "// ...", "REM ...".
std::string comment_marker(std::string_view text) {
  for (std::string_view marker : {"#", "//", "--", "::"}) {
    if (text.starts_with(marker)) return std::string(marker);
  }
  const bool rem = text.size() >= 3 && lowercase(text.substr(0, 3)) == "rem" &&
                   (text.size() == 3 || text[3] == ' ' || text[3] == '\t');
  return rem ? std::string(text.substr(0, 3)) : std::string();
}

// Only ';' starts a comment; a line like "// my keys" is read as something
// else, which the module ignores all the same.
std::optional<Finding> find_other_comment(const SectionLine& at) {
  const ProfileLine& line = at.line;
  const bool entry = line.kind == ProfileLine::Kind::kEntry;
  Finding finding = about_line(
      entry ? FindingKind::kOtherCommentAsEntry : FindingKind::kOtherCommentAsLine, line);
  finding.text = line.text;
  finding.other_text = comment_marker(line.name);
  if (entry) finding.name = line.name;
  return finding;
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
    const std::size_t end = std::min(text.find_first_of(" \t:,;\"'`<>={}[]()|", at), text.size());
    const std::string_view word = text.substr(at, end - at);
    if (!word.empty() && word != "-" && word != "->" && word != "=>") words.push_back(word);
    at = end + 1;
  }
  return words;
}

// A word that reads as one key and one only: a number as number_key reads
// one, or a key's name. In a console's bind command a lone digit is the
// digit's key, as `bind "7" "handguns"` means the 7 key.
std::optional<KeyCode> one_key(std::string_view word, bool bind_command) {
  const std::string text(word);
  const KeyCodeReading reading = read_key_code(text.c_str());
  if (bind_command && text.size() == 1 && std::isdigit(static_cast<unsigned char>(text[0]))) {
    return text[0];
  }
  if (reading.has_digits && reading.end == text.size()) return number_key(word);
  return key_code_named(word);
}

// A line without '=' is ignored; one that names a category was meant as a
// binding, and the line to write carries the player's own key.
std::optional<Finding> find_no_equals(const SectionLine& at) {
  const ProfileLine& line = at.line;
  const std::string_view first_word = line.name.substr(0, line.name.find_first_of(" \t:"));
  const auto proposal = binding_in(line.name);
  Finding finding = about_line(FindingKind::kNoEquals, line);
  finding.text = line.name;
  if (proposal) {
    finding.category = proposal->category;
    finding.other_line = at.matches[row_of(*proposal->category)].entry;
    if (finding.other_line == 0) offer(at.check, finding, *proposal);
  } else if (closest_category(first_word) == nullptr) {
    finding.kind = FindingKind::kNoEqualsRemark;
  }
  return finding;
}

std::optional<Finding> find_second_entry(const SectionLine& at) {
  Finding finding = about_line(FindingKind::kSecondEntry, at.line);
  finding.category = category_named(at.line.name);
  finding.other_line = at.matches[row_of(*finding.category)].entry;
  return finding;
}

std::optional<Finding> finds_nothing(const SectionLine&) { return std::nullopt; }

// Blank lines and ';' comments, which the reader skips as the player meant.
bool is_skipped(const SectionLine& at) {
  return at.line.kind != ProfileLine::Kind::kNoEquals && at.line.kind != ProfileLine::Kind::kEntry;
}
bool is_decoration_line(const SectionLine& at) { return is_decoration(at.line.name); }
bool has_other_comment_marker(const SectionLine& at) {
  return !comment_marker(at.line.name).empty();
}
bool has_no_equals(const SectionLine& at) { return at.line.kind == ProfileLine::Kind::kNoEquals; }
bool names_no_category(const SectionLine& at) { return category_named(at.line.name) == nullptr; }
bool is_second_entry(const SectionLine& at) {
  return at.line.number != at.matches[row_of(*category_named(at.line.name))].entry;
}

struct LineRule {
  const char* name;
  bool (*applies)(const SectionLine&);
  std::optional<Finding> (*find)(const SectionLine&);
};

// What a line of the [Bindings] section is, tried in this order; the first
// rule that applies says it. A line that none applies to is the entry the
// module reads for its category.
constexpr LineRule kLineRules[] = {
    {"a blank line or a ';' comment", is_skipped, finds_nothing},
    {"a rule or a Ctrl-Z: no letter or digit", is_decoration_line, finds_nothing},
    {"a comment in another file's style", has_other_comment_marker, find_other_comment},
    {"a line without '='", has_no_equals, find_no_equals},
    {"a name that is no category's", names_no_category, find_unknown_name},
    {"a second line for a category", is_second_entry, find_second_entry},
};

// A line of the [Bindings] section that the reader passes over.
void find_passed_over(const SectionLine& at, Diagnosis& diagnosis) {
  for (const LineRule& rule : kLineRules) {
    if (!rule.applies(at)) continue;
    if (auto finding = rule.find(at)) diagnosis.found.push_back(*finding);
    return;
  }
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
// module reads, with the lines that the module reads.
void set_otherwise(const ProfileLines& lines, ProfileLines::const_iterator header,
                   const Matches& matches, Finding& finding) {
  for (auto line = header + 1; line != lines.end() && line->kind != ProfileLine::Kind::kSection;
       ++line) {
    const Category* category =
        line->kind == ProfileLine::Kind::kEntry ? category_named(line->name) : nullptr;
    if (category == nullptr) continue;
    const ProfileMatch& counted = matches[row_of(*category)];
    if (counted.value != line->value) {
      finding.categories.push_back(category);
      finding.lines.push_back(counted.entry);
    }
  }
}

void find_second_section(const ProfileLines& lines, const ProfileMatch& section,
                         const Matches& matches, bool first_header_hidden, Diagnosis& diagnosis) {
  const auto second =
      std::find_if(lines.begin() + section.section_end, lines.end(), [](const ProfileLine& line) {
        return line.kind == ProfileLine::Kind::kSection &&
               same_profile_name(line.name, kConfigSection);
      });
  if (second == lines.end()) return;
  Finding finding = about_line(FindingKind::kSecondSectionAlike, *second);
  finding.other_line = section.section;
  set_otherwise(lines, second, matches, finding);
  if (first_header_hidden) {
    finding.kind = FindingKind::kSecondSectionHidden;
  } else if (merging_helps(lines, section, static_cast<std::size_t>(second - lines.begin()))) {
    finding.kind = FindingKind::kSecondSectionMerge;
  } else if (!finding.categories.empty()) {
    finding.kind = FindingKind::kSecondSectionOverruled;
  }
  diagnosis.found.push_back(finding);
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
  return bound_count(read_as(text, ProfileDialect::kWine)) != 0;
}

void find_no_section(const ProfileLines& lines, Diagnosis& diagnosis) {
  Finding finding{a_header_helps(lines) ? FindingKind::kNoSectionHeaderHelps
                                        : FindingKind::kNoSection};
  for (const ProfileLine& line : lines) {
    if (line.kind == ProfileLine::Kind::kSection) finding.names.emplace_back(line.name);
  }
  diagnosis.found.push_back(finding);
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
  const std::vector<std::string_view> words = words_of(text);
  const bool bind_command = !words.empty() && lowercase(words.front()) == "bind";
  const Category* category = nullptr;
  std::optional<KeyCode> code;
  for (std::string_view word : words) {
    if (const Category* named = closest_category(word); named != nullptr && category == nullptr) {
      category = named;
    } else if (const auto key = one_key(word, bind_command)) {
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
  if (section.section == 0) return find_no_section(lines, diagnosis);
  for (int number = section.section + 1; number <= section.section_end; ++number) {
    find_passed_over({lines[static_cast<std::size_t>(number - 1)], matches, check}, diagnosis);
  }
  find_second_section(lines, section, matches, first_header_hidden, diagnosis);
}

}  // namespace holsterkeys
