// Findings about the file's lines: the [Bindings] section, the lines in it
// that the reader passes over, and a second section it never reaches.
#include <algorithm>
#include <optional>
#include <tuple>
#include <vector>

#include "bindings/category_names.h"
#include "tools/check/findings.h"

namespace holsterkeys {
namespace {

// A name compared loosely, as a player may mistype it: without case, blanks,
// '_' or '-'.
std::string loose(std::string_view name) {
  std::string result;
  for (char c : name) {
    if (c == ' ' || c == '\t' || c == '_' || c == '-') continue;
    result.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  }
  return result;
}

// Letters that turn one name into the other.
std::size_t edit_distance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

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

// Following the advice must not add a second line for a category.
std::string advice_for(const ProfileLine& line, const Category& meant, const Matches& matches) {
  const int taken = matches[static_cast<std::size_t>(&meant - kCategories.data())].entry;
  const std::string start = " Did you mean " + quoted(meant.name) + "?";
  if (taken != 0) {
    return start + " It is set on line " + std::to_string(taken) +
           ", which counts: delete this line, or put its value there.";
  }
  return start + " Then write " + meant.name + "=" + std::string(line.value) + ".";
}

void unknown_name(const ProfileLine& line, const Matches& matches, Diagnosis& diagnosis) {
  const Category* meant = closest_category(line.name);
  diagnosis.findings.push_back(line_at(line.number) + quoted(line.name) +
                               " is not a category the module reads, so this line is ignored." +
                               (meant ? advice_for(line, *meant, matches) : "") +
                               " The categories are " + category_names(", ") + ".");
}

// Only ';' starts a comment; a '#' line is read as something else.
void hash_comment(const ProfileLine& line, Diagnosis& diagnosis) {
  const std::string read_as = line.kind == ProfileLine::Kind::kEntry
                                  ? "an entry named " + quoted(line.name)
                                  : std::string("a line without '='");
  diagnosis.notes.push_back(line_at(line.number) + quoted(line.text) +
                            " starts with '#', but only ';' starts a comment. The module reads "
                            "this line as " +
                            read_as +
                            " and ignores it. To keep it as a comment, start it with ';'.");
}

// A line of the [Bindings] section that the reader passes over.
void section_line(const ProfileLine& line, const Matches& matches, Diagnosis& diagnosis) {
  if (line.kind != ProfileLine::Kind::kNoEquals && line.kind != ProfileLine::Kind::kEntry) return;
  if (line.name.starts_with("#")) return hash_comment(line, diagnosis);
  if (line.kind == ProfileLine::Kind::kNoEquals) {
    diagnosis.findings.push_back(line_at(line.number) + quoted(line.name) +
                                 " has no '=' and is ignored. Write it as category=code, such as "
                                 "rifle=0x66.");
    return;
  }
  const Category* category = category_named(line.name);
  if (category == nullptr) return unknown_name(line, matches, diagnosis);
  const int counted = matches[static_cast<std::size_t>(category - kCategories.data())].entry;
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
    listed += (listed.empty() ? "[" : ", [") + std::string(line.name) + "]";
  }
  return listed.empty() ? "" : " (it has " + listed + ")";
}

void second_section(const ProfileLines& lines, const ProfileMatch& section, Diagnosis& diagnosis) {
  for (auto line = lines.begin() + section.section_end; line != lines.end(); ++line) {
    if (line->kind == ProfileLine::Kind::kSection &&
        same_profile_name(line->name, kConfigSection)) {
      diagnosis.findings.push_back(line_at(line->number) +
                                   "a second [Bindings] section; only the first, on line " +
                                   std::to_string(section.section) +
                                   ", is read. Move these bindings into the first section.");
      return;
    }
  }
}

}  // namespace

void diagnose_layout(const ProfileLines& lines, const Matches& matches, Diagnosis& diagnosis) {
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
  second_section(lines, section, diagnosis);
}

}  // namespace holsterkeys
