// Every sentence of the checker's findings, notes and statuses, by kind:
// the facts come from the finding, and the lines to write are the ones it
// proposes, each proven. A finding says one or more whole sentences.
#include "advice/finding_text.h"

#include <algorithm>
#include <ctime>

#include "advice/visible_text.h"
#include "bindings/category_names.h"
#include "keys/key_names.h"
#include "text/say.h"

namespace holsterkeys {
namespace {

using F = FindingKind;

// --- Facts as sentences show them ---

Filled<Fact::kCategory> category(const Category* named) { return {named->name}; }
Filled<Fact::kWinner> winner(const Category* named) { return {named->name}; }
Filled<Fact::kEntry> entry(const Proposal& proposal) { return {entry_text(proposal)}; }
Filled<Fact::kOtherEntry> other_entry(const Proposal& proposal) { return {entry_text(proposal)}; }
Filled<Fact::kKey> key(KeyCode code) { return {shown_key_name(code)}; }
Filled<Fact::kOtherKey> other_key(KeyCode code) { return {shown_key_name(code)}; }
Filled<Fact::kKey> key_in_sentence(KeyCode code) { return {key_in_words(code)}; }
Filled<Fact::kCode> code(KeyCode value) { return {hex_code(value)}; }
Filled<Fact::kOtherCode> other_code(KeyCode value) { return {hex_code(value)}; }
Filled<Fact::kText> text(std::string_view written) { return {in_quotes(written)}; }
Filled<Fact::kName> name(std::string_view written) { return {in_quotes(written)}; }
Filled<Fact::kCharacter> character(const std::string& written, std::size_t at) {
  return {character_at(written, at)};
}

// "Shift (0x10)".
Filled<Fact::kCode> described(KeyCode value) {
  return {say("{key} ({code})", key(value), code(value))};
}
Filled<Fact::kOtherCode> other_described(KeyCode value) {
  return {say("{key} ({code})", key(value), code(value))};
}

std::vector<std::string> names_of(const std::vector<const Category*>& categories) {
  std::vector<std::string> names;
  for (const Category* named : categories) names.emplace_back(named->name);
  return names;
}

Filled<Fact::kCategories> categories(const std::vector<const Category*>& named) {
  return {listed(names_of(named))};
}

// The row order, which decides which of the categories fired together wins.
Filled<Fact::kOrder> order() { return {listed(category_names(), Joining::kSequence)}; }

// "2026-12-09 10:31", in the player's own time.
std::string when(std::int64_t seconds) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  const std::tm* local = std::localtime(&time);
  char text[32];
  if (local == nullptr || std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", local) == 0) {
    return say("an unknown time");
  }
  return text;
}
Filled<Fact::kSaved> saved(std::int64_t seconds) { return {when(seconds)}; }
Filled<Fact::kOtherSaved> other_saved(std::int64_t seconds) { return {when(seconds)}; }

// Whole sentences, one after the other.
std::string sentences(std::initializer_list<std::string> said) {
  std::string text;
  for (const std::string& one : said) {
    if (one.empty()) continue;
    if (!text.empty()) text += ' ';
    text += one;
  }
  return text;
}

// The proposal of `finding` for `code`, or null.
const Proposal* proposed(const Finding& finding, KeyCode value) {
  for (const Proposal& proposal : finding.proposals) {
    if (proposal.code == value) return &proposal;
  }
  return nullptr;
}

// --- The file as the system finds it ---

std::string file_beside(const Finding& finding, std::string why) {
  // Quotes show a blank at the end of the name.
  const bool plain = visible(finding.name) == finding.name && !finding.name.ends_with(' ');
  const Filled<Fact::kName> shown{plain ? finding.name : in_quotes(finding.name)};
  return sentences({say("There is no holsterkeys.ini in {folder}, but there is {name}.",
                        folder(folder_of(finding.path)), shown),
                    why,
                    say("Rename it to exactly holsterkeys.ini (in File Explorer, turn on View > "
                        "File name extensions first).")});
}

std::string unreadable(const Finding& finding) {
  switch (finding.problem) {
    case FileProblem::kLocked:
      return say(
          "{path} is there, but it cannot be read: another program has it open and locked "
          "(often an editor, a backup or a sync tool). Close that program, then run the checker "
          "again.",
          path(finding.path));
    case FileProblem::kNoPermission:
      return say(
          "{path} is there, but it cannot be read: you have no permission to read it. Run the "
          "checker as administrator, or give your account read access in the file's Properties, "
          "Security tab.",
          path(finding.path));
    case FileProblem::kOther:
      break;
  }
  return say("{path} is there, but it cannot be read: {reason}", path(finding.path),
             reason(finding.text));
}

// Windows and Wine read the file's encoding apart, and how to mend it.
std::string read_apart(const Finding& finding, std::string how) {
  const std::string counts =
      say("On Windows the module reads {count} of the five bindings from it; under Wine it reads "
          "{other_count}.",
          count(finding.count), other_count(finding.other_count));
  const std::string mend =
      finding.other_line == 0
          ? say("Save the file as ANSI (in Notepad: File > Save As, Encoding: ANSI), which "
                "Windows and Wine read alike.")
          : say("Put every binding you want under the first [Bindings] line, delete the second "
                "one (line {line}), and save the file as ANSI (in Notepad: File > Save As, "
                "Encoding: ANSI), which Windows and Wine read alike.",
                line(finding.other_line));
  return sentences({how, counts, mend});
}

std::string gives_a_copy(const Finding& finding) {
  return say(
      "When the game runs without administrator rights, as most older games do, Windows gives it "
      "a copy of {other_path} in place of the file itself: {path}.",
      other_path(finding.name), path(finding.path));
}

// The copy that Windows hands a game without administrator rights in place
// of a file in a folder only administrators may change.
std::string virtual_store_copy(const Finding& finding) {
  const std::string made_when =
      say("Windows made that copy when a program saved the file in the game's folder, which only "
          "administrators may change.");
  switch (finding.kind) {
    case F::kVirtualStoreCopyAlone:
      return sentences(
          {say("There is no {other_path}, but when the game runs without administrator rights, as "
               "most older games do, Windows gives it a copy in its place: {path}.",
               other_path(finding.name), path(finding.path)),
           made_when,
           say("The bindings shown here are the copy's. Make your changes in the copy.")});
    case F::kVirtualStoreCopyOlder:
      return sentences(
          {gives_a_copy(finding), made_when,
           say("The file in the game's folder was saved after the copy ({other_saved}; the copy: "
               "{saved}), so the game does not see those changes; the bindings shown here are the "
               "copy's. Make the changes in the copy too, or delete the copy to keep one file.",
               saved(finding.saved), other_saved(finding.other_saved))});
    default:
      return sentences(
          {gives_a_copy(finding), made_when,
           say("The copy was saved last ({saved}; the file in the game's folder: {other_saved}); "
               "the bindings shown here are the copy's. Make your changes in the copy, or bring "
               "them into the file in the game's folder and delete the copy, to keep one file.",
               saved(finding.saved), other_saved(finding.other_saved))});
  }
}

std::string about_the_file(const Finding& finding) {
  switch (finding.kind) {
    case F::kNoFile:
      return say(
          "There is no configuration file at {path}. The module reads holsterkeys.ini from the "
          "game's current directory (the folder the game is started from): put it there.",
          path(finding.path));
    case F::kFileWithHiddenExtension:
      return file_beside(finding, say("Windows hides known file extensions, so File Explorer "
                                      "may show it as \"holsterkeys\" or \"holsterkeys.ini\"."));
    case F::kFileNameEndsWithBlank:
      return file_beside(finding, say("Its name ends with a blank, which is easy to miss."));
    case F::kFileNameEndsWithDot:
      return file_beside(finding, say("Its name ends with a dot, which is easy to miss."));
    case F::kFileNamedNearly:
      return file_beside(finding, say("Its name differs from holsterkeys.ini."));
    case F::kShortcutInPlace:
      return say(
          "There is no holsterkeys.ini in {folder}, but there is {name}: a shortcut to a file, "
          "not the file itself, which the module cannot follow. Put the file itself in this "
          "folder, named exactly holsterkeys.ini.",
          folder(folder_of(finding.path)), name(finding.name));
    case F::kFolderInPlace:
      return say(
          "{path} is a folder, not a file, so the module reads no binding. Rename or remove that "
          "folder, then put your holsterkeys.ini file there.",
          path(finding.path));
    case F::kUnreadable:
      return unreadable(finding);
    case F::kOtherFileName:
      return say(
          "The module reads only a file named holsterkeys.ini; this one takes effect once it is "
          "saved under that name in the game's folder.");
    case F::kVirtualStoreCopy:
    case F::kVirtualStoreCopyOlder:
    case F::kVirtualStoreCopyAlone:
      return virtual_store_copy(finding);
    case F::kUnmarkedUtf16:
      return say(
          "The file is saved as UTF-16 (\"Unicode\") without a byte-order mark, which neither "
          "Windows nor Wine reads as text, so the module reads no binding from it. Save it as "
          "ANSI (in Notepad: File > Save As, Encoding: ANSI).");
    case F::kUtf8MarkHidesFirstLine:
      return read_apart(finding,
                        say("The file is saved as UTF-8 with a byte-order mark, an invisible mark "
                            "at its start. Windows reads the mark as part of the first line, so "
                            "the module there does not see that line."));
    case F::kUtf16BigEndian:
      return read_apart(finding, say("The file is saved as UTF-16 big-endian (\"Unicode big "
                                     "endian\"), which the Windows reader does not understand."));
    default:
      return {};
  }
}

// --- Files that are no plain list of lines ---

std::string other_format(const Finding& finding, std::string what) {
  if (finding.proposals.empty()) {
    return sentences({what,
                      say("Write the file that way in Notepad and save it as ANSI (in Notepad: "
                          "File > Save As, Encoding: ANSI)."),
                      how_to_find_a_code()});
  }
  std::vector<std::string> lines = {say("\"{entry}\"", fact<Fact::kEntry>("[Bindings]"))};
  for (const Proposal& proposal : finding.proposals) {
    lines.push_back(say("\"{entry}\"", entry(proposal)));
  }
  return sentences(
      {what, say("Replace what the file holds with the lines {entries}, one under the other, and "
                 "save it as ANSI (in Notepad: File > Save As, Encoding: ANSI).",
                 fact<Fact::kEntries>(listed(lines)))});
}

std::string about_the_format(const Finding& finding) {
  switch (finding.kind) {
    case F::kRichText:
      return say(
          "The file is a rich-text document, as WordPad and Word save them, not plain text: the "
          "module reads its formatting codes as part of the lines and reads {count} of the five "
          "bindings. In WordPad, save it with File > Save As > Plain text document; or copy its "
          "text into Notepad and save it there as ANSI (in Notepad: File > Save As, Encoding: "
          "ANSI).",
          count(finding.count));
    case F::kJson:
      return other_format(
          finding, say("The file holds JSON, as programs and web pages write settings, which the "
                       "module does not read: it reads plain lines, a [Bindings] line and under "
                       "it one line for each category, its name, '=' and the key's code."));
    case F::kYaml:
      return other_format(
          finding, say("The file holds YAML (name: value), as some programs write settings, "
                       "which the module does not read: it reads plain lines, a [Bindings] line "
                       "and under it one line for each category, its name, '=' and the key's "
                       "code."));
    case F::kCommaSeparated:
      return other_format(
          finding, say("The file holds comma-separated values, as spreadsheets save them, which "
                       "the module does not read: it reads plain lines, a [Bindings] line and "
                       "under it one line for each category, its name, '=' and the key's code."));
    case F::kSemicolonSeparated:
      return other_format(
          finding, say("The file holds values separated by semicolons, as spreadsheets save them "
                       "in many countries, which the module does not read: it reads plain lines, "
                       "a [Bindings] line and under it one line for each category, its name, '=' "
                       "and the key's code."));
    case F::kSpreadsheetCells:
      return other_format(
          finding, say("The file holds cells pasted from a spreadsheet, separated by tabs, which "
                       "the module does not read: it reads plain lines, a [Bindings] line and "
                       "under it one line for each category, its name, '=' and the key's code."));
    case F::kHiddenLineBreak:
      return say(
          "Line {line}: {text} holds a character that some editors show as a line break, but "
          "that ends no line for the module, so it reads all of this as one line and reads "
          "{count} of the five bindings from the file. In Notepad, put each binding on a line of "
          "its own with Enter, and save the file as ANSI (in Notepad: File > Save As, Encoding: "
          "ANSI).",
          line(finding.line), text(finding.text), count(finding.count));
    default:
      return {};
  }
}

// --- The file's lines ---

std::string the_categories() {
  return say("The categories are {categories}.",
             fact<Fact::kCategories>(listed(category_names(), Joining::kSequence)));
}

std::string categories_with_slots() {
  std::vector<std::string> listed_slots;
  for (const Category* each : categories_by_slot()) {
    listed_slots.push_back(say("{category} (slot {slot})", category(each), slot(each->slot)));
  }
  return say("The categories are {categories}.", fact<Fact::kCategories>(listed(listed_slots)));
}

std::string ignored_name(const Finding& finding) {
  return say("Line {line}: {name} is not a category the module reads, so this line is ignored.",
             line(finding.line), name(finding.name));
}

std::string set_already(const Finding& finding) {
  return say("It is set on line {line}, which counts: delete this line, or put its value there.",
             line(finding.other_line));
}

std::string misnamed(const Finding& finding) {
  std::string advice;
  if (finding.other_line != 0) {
    advice = set_already(finding);
  } else if (!finding.proposals.empty()) {
    advice = say("Then write {entry}.", entry(finding.proposals.front()));
  } else {
    advice = say("Then write {category}= and the key's code.", category(finding.category));
  }
  return sentences({ignored_name(finding),
                    say("Did you mean {name}?", name(finding.category->name)), advice,
                    the_categories()});
}

std::string no_equals(const Finding& finding) {
  std::string advice;
  if (finding.other_line != 0) {
    advice = set_already(finding);
  } else if (!finding.proposals.empty()) {
    advice = say("Write it as {entry} for {key}.", entry(finding.proposals.front()),
                 key(finding.proposals.front().code));
  } else {
    advice = sentences({say("Write it as category=code, and the key's code after the '='."),
                        how_to_find_a_code()});
  }
  return sentences({say("Line {line}: {text} has no '=' and is ignored.", line(finding.line),
                        text(finding.text)),
                    advice});
}

std::string second_section(const Finding& finding) {
  const auto first = other_line(finding.other_line);
  const auto at = line(finding.line);
  switch (finding.kind) {
    case F::kSecondSectionHidden:
      return say(
          "Line {line}: a second [Bindings] section. Under Wine the module reads only the first, "
          "on line {other_line}; on Windows, which misses the header on line {other_line} behind "
          "the byte-order mark, it reads only this one. Put every binding you want under the "
          "first [Bindings] line, delete this one, and save the file as ANSI (in Notepad: File > "
          "Save As, Encoding: ANSI).",
          at, first);
    case F::kSecondSectionMerge:
      return say(
          "Line {line}: a second [Bindings] section; only the first, on line {other_line}, is "
          "read. Move these bindings into the first section.",
          at, first);
    case F::kSecondSectionOverruled: {
      std::vector<std::string> set;
      for (std::size_t at_line = 0; at_line < finding.categories.size(); ++at_line) {
        set.push_back(say("{category} (line {line})", category(finding.categories[at_line]),
                          line(finding.lines[at_line])));
      }
      return say(
          "Line {line}: a second [Bindings] section; only the first, on line {other_line}, is "
          "read, and it sets {categories} already. Put the values you want there, and delete "
          "this section.",
          at, first, fact<Fact::kCategories>(listed(set)));
    }
    default:
      return say(
          "Line {line}: a second [Bindings] section; only the first, on line {other_line}, is "
          "read, and it sets everything this one does alike. Delete this one to keep the file "
          "clear.",
          at, first);
  }
}

std::string no_section(const Finding& finding) {
  std::vector<std::string> sections;
  for (const std::string& section : finding.names) sections.push_back("[" + visible(section) + "]");
  const std::string missing =
      sections.empty()
          ? say("There is no [Bindings] section, so the module reads no binding from this file.")
          : say("There is no [Bindings] section (it has {names}), so the module reads no binding "
                "from this file.",
                fact<Fact::kNames>(listed(sections, Joining::kSequence)));
  if (finding.kind != F::kNoSectionHeaderHelps) return missing;
  return sentences({missing, say("Put a line [Bindings] above the bindings.")});
}

std::string about_the_lines(const Finding& finding) {
  switch (finding.kind) {
    case F::kNoSection:
    case F::kNoSectionHeaderHelps:
      return no_section(finding);
    case F::kUnknownName:
      return sentences({ignored_name(finding), the_categories()});
    case F::kUnknownWeaponName:
      return sentences(
          {ignored_name(finding), categories_with_slots(),
           finding.text.empty()
               ? say("Write the one you mean, then = and the key's code.")
               : say("Write the one you mean before ={text}.", fact<Fact::kText>(finding.text))});
    case F::kMisnamedCategory:
      return misnamed(finding);
    case F::kOtherCommentAsEntry:
    case F::kOtherCommentAsLine: {
      const std::string starts = say(
          "Line {line}: {text} starts with '{name}', but only ';' starts a comment.",
          line(finding.line), text(finding.text), fact<Fact::kName>(visible(finding.other_text)));
      const std::string read_as =
          finding.kind == F::kOtherCommentAsEntry
              ? say("The module reads this line as an entry named {name} and ignores it.",
                    name(finding.name))
              : say("The module reads this line as a line without '=' and ignores it.");
      return sentences({starts, read_as, say("To keep it as a comment, start it with ';'.")});
    }
    case F::kNoEquals:
      return no_equals(finding);
    case F::kNoEqualsRemark:
      return say(
          "Line {line}: {text} has no '=', so the module ignores it. To keep it as a remark, "
          "start it with ';'.",
          line(finding.line), text(finding.text));
    case F::kSecondEntry:
      return say(
          "Line {line}: a second {name} is ignored; the one on line {other_line} counts. Delete "
          "the line you do not want.",
          line(finding.line), name(finding.category->name), other_line(finding.other_line));
    case F::kSecondSectionHidden:
    case F::kSecondSectionMerge:
    case F::kSecondSectionOverruled:
    case F::kSecondSectionAlike:
      return second_section(finding);
    default:
      return {};
  }
}

// --- Each binding's value ---

// The example of a free key, after what is wrong: "Pick another key, for
// example handguns=0x62 for Numpad2."
std::string pick_another_key(const Finding& finding) {
  if (finding.proposals.empty()) return sentences({say("Pick another key."), how_to_find_a_code()});
  const Proposal& example = finding.proposals.front();
  return say("Pick another key, for example {entry} for {key}.", entry(example), key(example.code));
}

// The left mouse button fires and the right one aims in the game: a value
// that is one of them, and a key's name that is.
std::string value_fires_or_aims(const Finding& finding) {
  if (finding.code == 0x01) {
    return say(
        "{category}: {text} is the left mouse button: it fires, so every shot would also switch "
        "to {category}.",
        category(finding.category), text(finding.text));
  }
  return say(
      "{category}: {text} is the right mouse button: it aims, so every time you aim the game "
      "would switch to {category}.",
      category(finding.category), text(finding.text));
}

std::string key_fires_or_aims(const Finding& finding) {
  if (finding.other_code == 0x01) {
    return say(
        "{key} is the left mouse button: it fires, so every shot would also switch to "
        "{category}.",
        key(finding.other_code), category(finding.category));
  }
  return say(
      "{key} is the right mouse button: it aims, so every time you aim the game would switch to "
      "{category}.",
      key(finding.other_code), category(finding.category));
}

std::string not_bound(const Finding& finding) {
  const auto named = category(finding.category);
  const std::string missing =
      say("{category} is not bound: there is no {category} line under [Bindings].", named);
  if (finding.kind == F::kNotBoundGivenAbove) {
    return sentences({missing, say("Write the line given above.")});
  }
  const Proposal* example = finding.proposals.empty() ? nullptr : &finding.proposals.front();
  return sentences({missing, example ? say("Add one, for example {entry} for {key}.",
                                           entry(*example), key(example->code))
                                     : sentences({say("Add one."), how_to_find_a_code()})});
}

std::string unbound_on_purpose(const Finding& finding) {
  const std::string left =
      say("{category} is left unbound: its line {line} has no value, so no key selects it.",
          category(finding.category), line(finding.line));
  if (finding.proposals.empty()) {
    return sentences({left, say("To bind it, write a key's code there."), how_to_find_a_code()});
  }
  const Proposal& example = finding.proposals.front();
  return sentences({left, say("To bind it, write a key's code there, for example {entry} for "
                              "{key}.",
                              entry(example), key(example.code))});
}

std::string typed_character(const Finding& finding) {
  const std::string typed =
      say("{category}: {text} is the character a key types, not the key's code, so it reads as 0 "
          "and never fires.",
          category(finding.category), text(finding.other_text));
  if (finding.kind == F::kTypedCharacterOfLayout) {
    return sentences({typed, say("Which code that key sends depends on the keyboard layout: "
                                 "press it in holsterkeys-setup, or run holsterkeys-check "
                                 "--keys, to see its code.")});
  }
  if (finding.proposals.empty()) return sentences({typed, how_to_find_a_code()});
  return sentences({typed, say("The {text} key sends {code} on every keyboard layout: write "
                               "{entry}.",
                               fact<Fact::kText>(finding.other_text), code(finding.other_code),
                               entry(finding.proposals.front()))});
}

std::string key_name_written(const Finding& finding) {
  const std::string not_a_number =
      say("{category}: {text} is not a number, so it reads as 0 and never fires.",
          category(finding.category), text(finding.text));
  switch (finding.kind) {
    case F::kKeyNameFiresOrAims:
      return sentences({not_a_number, key_fires_or_aims(finding), pick_another_key(finding)});
    case F::kUnknownKeyName:
      return sentences({not_a_number, say("Write the key's code instead: holsterkeys-check "
                                          "--keys shows the code of each key you press.")});
    default:
      break;
  }
  if (finding.proposals.empty()) {
    return sentences({not_a_number,
                      say("{key} is {code}.", key(finding.other_code), code(finding.other_code)),
                      how_to_find_a_code()});
  }
  return sentences({not_a_number, say("Write {entry} for {key}.", entry(finding.proposals.front()),
                                      key(finding.other_code))});
}

// A lone digit is the code of a mouse button or of no key at all.
std::string lone_digit(const Finding& finding) {
  const auto named = category(finding.category);
  const auto digit = number(finding.number);
  const auto written = fact<Fact::kText>(finding.text);
  std::string what;
  if (finding.code == 0x01 || finding.code == 0x02) {
    what = finding.code == 0x01
               ? say("{category}: {text} is the code of the left mouse button, not of the "
                     "{number} key: it fires, so every shot would also switch to {category}.",
                     named, written, digit)
               : say("{category}: {text} is the code of the right mouse button, not of the "
                     "{number} key: it aims, so every time you aim the game would switch to "
                     "{category}.",
                     named, written, digit);
  } else if (const std::string in_words = key_in_words(finding.code); in_words.empty()) {
    what = say("{category}: {text} is the code of no key, not of the {number} key.", named, written,
               digit);
  } else {
    what = say("{category}: {text} is the code of {key}, not of the {number} key.", named, written,
               key_in_sentence(finding.code), digit);
  }
  const Proposal* digit_key = proposed(finding, finding.other_code);
  const Proposal* plainly = proposed(finding, finding.code);
  std::string advice;
  if (digit_key && plainly) {
    advice =
        say("For the {number} key write {entry}; for {key} write {other_entry}, which says so "
            "plainly.",
            digit, entry(*digit_key), key_in_sentence(finding.code), other_entry(*plainly));
  } else if (digit_key) {
    advice = say("For the {number} key write {entry}.", digit, entry(*digit_key));
  } else if (plainly) {
    advice = say("For {key} write {entry}, which says so plainly.", key_in_sentence(finding.code),
                 entry(*plainly));
  } else {
    advice = sentences({say("The {number} key is {code}.", digit, code(finding.other_code)),
                        how_to_find_a_code()});
  }
  return sentences({what, advice});
}

std::string more_keys(const Finding& finding) {
  const auto named = category(finding.category);
  const std::string names =
      say("{category}: {text} names more than one key, but a category takes one key, and key "
          "combinations cannot be bound.",
          named, text(finding.text));
  const std::string reads =
      names_a_key(finding.code)
          ? say("The module reads only {key} ({code}), so every {key} press alone selects "
                "{category}.",
                key(finding.code), code(finding.code), named)
          : say("The module reads it as {number}, so {category} never fires.", number(finding.code),
                named);
  std::string keep;
  if (!finding.proposals.empty()) {
    std::vector<std::string> choices;
    for (const Proposal& choice : finding.proposals) {
      choices.push_back(say("{entry} for {key}", entry(choice), key(choice.code)));
    }
    keep = say("Keep one key: {entries}.", fact<Fact::kEntries>(listed(choices, Joining::kOr)));
  } else if (!finding.keys.empty()) {
    keep = how_to_find_a_code();
  }
  return sentences({names, reads, keep});
}

std::string stops_early(const Finding& finding) {
  const auto named = category(finding.category);
  const auto at = character(finding.text, finding.at);
  std::string stops;
  switch (finding.kind) {
    case F::kStopsBeforeNumber:
      stops =
          say("{category}: {text} is not a number: the module stops reading at {character} and "
              "reads 0, so {category} never fires.",
              named, text(finding.text), at);
      break;
    case F::kStopsAfterPrefix:
      stops = say(
          "{category}: in {text} the module stops reading at {character} after \"0x\" and reads "
          "{number}, so {category} never fires.",
          named, text(finding.text), at, number(finding.code));
      break;
    case F::kLookAlikeInHex:
      stops = say(
          "{category}: in {text}, {character} after the 0 only looks like an x: the module stops "
          "reading there and reads 0, so {category} never fires.",
          named, text(finding.text), at);
      break;
    default:
      stops = say(
          "{category}: in {text} the module stops reading at {character} and reads {number}, so "
          "{category} never fires.",
          named, text(finding.text), at, number(finding.code));
      break;
  }
  if (finding.proposals.empty()) return sentences({stops, how_to_find_a_code()});
  return sentences({stops, say("Write {entry}.", entry(finding.proposals.front()))});
}

// The mouse wheel has no key code.
std::string mouse_wheel(const Finding& finding) {
  const auto named = category(finding.category);
  const std::string wheel =
      say("{category}: {text} is not a number but the mouse wheel, which has no key code and "
          "cannot be bound, so it reads as 0 and never fires.",
          named, text(finding.text));
  if (finding.proposals.empty()) {
    return sentences({wheel, say("Bind a key or a mouse button instead."), how_to_find_a_code()});
  }
  const Proposal& example = finding.proposals.front();
  return sentences({wheel, say("Bind a key or a mouse button instead, for example {entry} "
                               "for {key}.",
                               entry(example), key(example.code))});
}

// A word that means off, or a 0, where nothing after the '=' says it plainly.
std::string off_on_purpose(const Finding& finding) {
  const auto named = category(finding.category);
  const std::string off =
      say("{category}: {text} leaves {category} unbound; {category}= with nothing after it says "
          "so plainly.",
          named, text(finding.text));
  if (finding.proposals.empty()) return off;
  return sentences({off, say("For the 0 key write {entry}.", entry(finding.proposals.front()))});
}

// "#66" and "66h" are hexadecimal to other programs.
std::string other_hex_notation(const Finding& finding) {
  const auto named = category(finding.category);
  const std::string looks =
      say("{category}: {text} looks like a hexadecimal number written as other programs write "
          "it, but the module understands only the 0x form: it reads {number}.",
          named, text(finding.text), number(finding.code));
  if (finding.proposals.empty()) return sentences({looks, how_to_find_a_code()});
  return sentences({looks, say("Write {entry} for {key}.", entry(finding.proposals.front()),
                               key(finding.other_code))});
}

// The module reads the code, whatever the remark says.
std::string remark_names_other_key(const Finding& finding) {
  const auto named = category(finding.category);
  const std::string remark =
      say("{category}: the module reads {code}, which is {key}; the remark after it names "
          "{other_key}, whose code is {other_code}. The module ignores remarks.",
          named, code(finding.code), key(finding.code), other_key(finding.other_code),
          other_code(finding.other_code));
  if (finding.proposals.empty()) return remark;
  return sentences({remark, say("For {key} write {entry}.", key(finding.other_code),
                                entry(finding.proposals.front()))});
}

std::string about_the_value(const Finding& finding) {
  const auto named = category(finding.category);
  switch (finding.kind) {
    case F::kNotBound:
    case F::kNotBoundGivenAbove:
      return not_bound(finding);
    case F::kUnboundOnPurpose:
      return unbound_on_purpose(finding);
    case F::kNotReadHere:
      return say("{category} is not bound here: this system's reader does not see line {line}.",
                 named, line(finding.line));
    case F::kNotReadForEncoding:
      return say(
          "{category} is not bound here: this system's reader does not see line {line}, because "
          "of the file's encoding (see above).",
          named, line(finding.line));
    case F::kTypedCharacter:
    case F::kTypedCharacterOfLayout:
      return typed_character(finding);
    case F::kStopsBeforeNumber:
    case F::kStopsInsideNumber:
    case F::kStopsAfterPrefix:
    case F::kLookAlikeInHex:
      return stops_early(finding);
    case F::kMouseWheel:
      return mouse_wheel(finding);
    case F::kKeyName:
    case F::kKeyNameFiresOrAims:
    case F::kUnknownKeyName:
      return key_name_written(finding);
    case F::kOffOnPurpose:
      return off_on_purpose(finding);
    case F::kLoneDigit:
      return lone_digit(finding);
    case F::kOctal:
      return say(
          "{category}: {text} starts with 0, so it is read as an octal number: {number} "
          "({code}). Drop the leading 0 for a decimal number, or write it as 0x...",
          named, text(finding.text), number(finding.code), code(finding.code));
    case F::kOtherHexNotation:
      return other_hex_notation(finding);
    case F::kMoreThanOneKey:
      return more_keys(finding);
    case F::kNoSuchKey:
      return say(
          "{category}: {number} is not the code of any key, so it never fires. Key codes run "
          "from 0x01 to 0xFE.",
          named, number(finding.code));
    case F::kLongValue:
      return say_count(
          "{category}: the value on line {line} is {count} character long, and the module reads "
          "only the first {other_count}.",
          "{category}: the value on line {line} is {count} characters long, and the module reads "
          "only the first {other_count}.",
          finding.count, named, line(finding.line), count(finding.count),
          other_count(kValueSize - 1));
    case F::kFiresOrAims:
      return sentences({value_fires_or_aims(finding), pick_another_key(finding)});
    case F::kRemarkNamesOtherKey:
      return remark_names_other_key(finding);
    default:
      return {};
  }
}

// --- What a press does ---

std::string lost_press(const Finding& finding, const LostPress& press) {
  if (press.winner_code == finding.code) {
    return say("Pressing {key} sets {code}, the key of {winner} as well, so {winner} wins.",
               key(press.key), described(finding.code), winner(press.winner));
  }
  return say(
      "Pressing {key} sets both {code} and {other_code}, the key of {winner}, so {winner} wins.",
      key(press.key), described(finding.code), other_described(press.winner_code),
      winner(press.winner));
}

std::vector<std::string> key_names(const std::vector<KeyCode>& keys) {
  std::vector<std::string> names;
  for (KeyCode each : keys) names.push_back(shown_key_name(each));
  return names;
}

std::string never_selected(const Finding& finding) {
  const auto named = category(finding.category);
  std::string text = finding.kind == F::kNeverSelected
                         ? say("{category} is never selected.", named)
                         : say("{category} is selected only by {keys}.", named,
                               fact<Fact::kKeys>(listed(key_names(finding.keys), Joining::kOr)));
  for (const LostPress& press : finding.lost_presses) {
    text = sentences({text, lost_press(finding, press)});
  }
  const std::string give = say("Give {category} a key of its own.", named);
  const std::string example =
      finding.proposals.empty()
          ? sentences({give, how_to_find_a_code()})
          : say("Give {category} a key of its own, for example {entry} for {key}.", named,
                entry(finding.proposals.front()), key(finding.proposals.front().code));
  return sentences(
      {text,
       say("When keys of several categories are down together, the later category in the order "
           "{order} wins.",
           order()),
       example});
}

// Which of the categories on one key a press selects, with "both" for
// two and "all" for more.
std::string shared_key(const Finding& finding) {
  const auto named = categories(finding.categories);
  const auto on = code(finding.code);
  const auto labelled = key(finding.code);
  const bool two = finding.categories.size() == 2;
  switch (finding.kind) {
    case F::kSharedKey:
      return two ? say("{categories} are both on {code} ({key}): when it is pressed, {winner} "
                       "wins, being later in the order {order}. Give each category its own key.",
                       named, on, labelled, winner(finding.winner), order())
                 : say("{categories} are all on {code} ({key}): when it is pressed, {winner} "
                       "wins, being later in the order {order}. Give each category its own key.",
                       named, on, labelled, winner(finding.winner), order());
    case F::kSharedKeySomePresses: {
      const auto pressed = fact<Fact::kKeys>(listed(key_names(finding.keys), Joining::kOr));
      return two ? say("{categories} are both on {code} ({key}): when {keys} is pressed, "
                       "{winner} wins, being later in the order {order}. Give each category its "
                       "own key.",
                       named, on, labelled, pressed, winner(finding.winner), order())
                 : say("{categories} are all on {code} ({key}): when {keys} is pressed, {winner} "
                       "wins, being later in the order {order}. Give each category its own key.",
                       named, on, labelled, pressed, winner(finding.winner), order());
    }
    default:
      return two ? say("{categories} are both on {code} ({key}): no press of it selects any of "
                       "them (see below). Give each category its own key.",
                       named, on, labelled)
                 : say("{categories} are all on {code} ({key}): no press of it selects any of "
                       "them (see below). Give each category its own key.",
                       named, on, labelled);
  }
}

std::string about_presses(const Finding& finding) {
  const auto named = categories(finding.categories);
  const std::size_t many = finding.categories.size();
  switch (finding.kind) {
    case F::kSharedKey:
    case F::kSharedKeySomePresses:
    case F::kSharedKeyNoPress:
      return shared_key(finding);
    case F::kNeverSelected:
    case F::kSelectedOnlyBy:
      return never_selected(finding);
    case F::kOnNumpad:
      return say_count(
          "{categories} is on the numpad, whose keys send these codes only while Num Lock is on: "
          "with Num Lock off they act as arrows, Home, End and the like, and these bindings do "
          "not fire. Keep Num Lock on.",
          "{categories} are on the numpad, whose keys send these codes only while Num Lock is "
          "on: with Num Lock off they act as arrows, Home, End and the like, and these bindings "
          "do not fire. Keep Num Lock on.",
          many, named);
    case F::kOnWindowsKey:
      return say_count(
          "{categories} is on a Windows key, which also opens the Start menu and takes the game "
          "out of the front.",
          "{categories} are on a Windows key, which also opens the Start menu and takes the "
          "game out of the front.",
          many, named);
    case F::kOnAlt:
      return say_count(
          "{categories} is on Alt: pressed on its own, Alt can open the menu of the game's "
          "window when the game runs in a window.",
          "{categories} are on Alt: pressed on its own, Alt can open the menu of the game's "
          "window when the game runs in a window.",
          many, named);
    default:
      return {};
  }
}

// --- The files around it ---

std::string about_nearby(const Finding& finding) {
  const auto other = name(finding.name);
  switch (finding.kind) {
    case F::kSavedLaterBeside:
      return say(
          "{name} lies beside holsterkeys.ini and was saved after it ({saved}; holsterkeys.ini "
          "{other_saved}), but the module never reads it: it reads only {path}. If your latest "
          "changes are in {name}, make them in holsterkeys.ini, or delete holsterkeys.ini and "
          "rename that file to exactly holsterkeys.ini.",
          other, saved(finding.saved), other_saved(finding.other_saved), path(finding.path));
    case F::kSavedLaterBelow:
      return say(
          "{name} lies in a folder below and was saved after holsterkeys.ini ({saved}; "
          "holsterkeys.ini {other_saved}), but the module never reads it: it reads only {path}. "
          "If your latest changes are in {name}, make them in holsterkeys.ini, or move that file "
          "here in its place.",
          other, saved(finding.saved), other_saved(finding.other_saved), path(finding.path));
    case F::kAlsoHere:
      if (finding.saved == finding.other_saved) {
        return say(
            "{name} (saved {saved}) lies here too, saved at the same time as holsterkeys.ini, but "
            "the module reads only holsterkeys.ini.",
            other, saved(finding.saved));
      }
      return say(
          "{name} (saved {saved}) lies here too, but the module reads only holsterkeys.ini, which "
          "was saved last ({other_saved}).",
          other, saved(finding.saved), other_saved(finding.other_saved));
    case F::kNeverRead:
      return say("{name} (saved {saved}) is not read by the module, which reads only {path}.",
                 other, saved(finding.saved), path(finding.path));
    case F::kNeverReadBelow:
      return say(
          "{name} (saved {saved}) is not read by the module, which reads only {path}. Move it "
          "there.",
          other, saved(finding.saved), path(finding.path));
    case F::kFolderWithoutProgram:
      return say(
          "{folder} holds no program, but the folder above it holds {names}. The game's folder "
          "is usually the one with the game's program in it, and the module reads "
          "holsterkeys.ini from the folder the game is started from: check that folder.",
          folder(finding.path), fact<Fact::kNames>(listed(finding.names)));
    default:
      return {};
  }
}

// --- Statuses ---

// A value as a status shows it: printable, and short.
Filled<Fact::kText> short_text(const std::string& written) { return {shortened(written, 16)}; }

std::string fire_or_aim_words(KeyCode value) {
  return value == 0x01 ? say("fires on every shot") : say("switches on every aim");
}

std::string state_words(const Finding& finding, const Category& of) {
  switch (finding.kind) {
    case F::kNotBound:
    case F::kNotBoundGivenAbove:
      return say("not bound");
    case F::kUnboundOnPurpose:
    case F::kOffOnPurpose:
      return say("not bound (on purpose)");
    case F::kNotReadHere:
    case F::kNotReadForEncoding:
      return say("not read on this system");
    case F::kTypedCharacter:
    case F::kTypedCharacterOfLayout:
    case F::kStopsBeforeNumber:
    case F::kKeyName:
    case F::kKeyNameFiresOrAims:
    case F::kUnknownKeyName:
      return say("{text} is not a number: reads as 0", short_text(finding.text));
    case F::kMouseWheel:
      return say("mouse wheel: cannot be bound");
    case F::kLoneDigit:
      if (finding.code == 0x01 || finding.code == 0x02) return fire_or_aim_words(finding.code);
      if (key_in_words(finding.code).empty()) {
        return say("{text} is no key", fact<Fact::kText>(finding.text));
      }
      return say("{text} is {key}", fact<Fact::kText>(finding.text), key_in_sentence(finding.code));
    case F::kFiresOrAims:
      return fire_or_aim_words(finding.code);
    case F::kOctal:
      return say("octal: reads as {number}", number(finding.code));
    case F::kOtherHexNotation:
      if (finding.proposals.empty()) {
        return say("{text} reads as {number}", short_text(finding.text), number(finding.code));
      }
      return say("{text} reads as {number}: write {code}", short_text(finding.text),
                 number(finding.code), code(finding.other_code));
    case F::kMoreThanOneKey:
      if (names_a_key(finding.code)) return say("one key only: reads {key}", key(finding.code));
      return say("one key only: reads {number}", number(finding.code));
    case F::kNoSuchKey:
    case F::kStopsInsideNumber:
    case F::kStopsAfterPrefix:
    case F::kLookAlikeInHex:
      return say("no key has code {number}", number(finding.code));
    case F::kSharedKey: {
      std::vector<const Category*> others;
      for (const Category* each : finding.categories) {
        if (each != &of) others.push_back(each);
      }
      return say("same key as {categories}: {winner} wins", categories(others),
                 winner(finding.winner));
    }
    case F::kNeverSelected:
      return say("never selected");
    case F::kSelectedOnlyBy:
      return say("selected only by {keys}",
                 fact<Fact::kKeys>(listed(key_names(finding.keys), Joining::kOr)));
    default:
      return {};
  }
}

// Bound to a key, not left empty or off on purpose.
bool all_bound(const BindingReadings& readings) {
  return std::all_of(readings.begin(), readings.end(), [](const BindingReading& reading) {
    return is_key_code(reading.number.code);
  });
}

bool notes_say(const Diagnosis& diagnosis, FindingKind kind) {
  return std::any_of(diagnosis.found.begin(), diagnosis.found.end(),
                     [kind](const Finding& finding) { return finding.kind == kind; });
}

// That nothing keeps a binding from working, and what that depends on: the
// file's name, or the folder the game is started from.
std::string verdict(const BindingReadings& readings, const Diagnosis& diagnosis) {
  const bool all = all_bound(readings);
  if (notes_say(diagnosis, F::kOtherFileName)) {
    return all ? say("All five bindings are usable once the file is saved as holsterkeys.ini "
                     "in the game's folder.")
               : say("Every bound category is usable once the file is saved as holsterkeys.ini "
                     "in the game's folder.");
  }
  if (notes_say(diagnosis, F::kFolderWithoutProgram)) {
    return all ? say("All five bindings are usable if the game is started from this folder "
                     "(see the note above).")
               : say("Every bound category is usable if the game is started from this folder "
                     "(see the note above).");
  }
  return all ? say("All five bindings are usable.") : say("Every bound category is usable.");
}

}  // namespace

std::string entry_text(const Proposal& proposal) {
  return std::string(proposal.category->name) + "=" + proposal.value;
}

std::string in_quotes(std::string_view written) {
  const std::string codes = typed_codes(written);
  const Filled<Fact::kText> shown{visible(written)};
  if (codes.empty()) return say("\"{text}\"", shown);
  return say("\"{text}\" ({codes})", shown, fact<Fact::kCodes>(codes));
}

std::string copy_written() {
  return say(
      "The change went into the copy that the game reads in place of the file in the game's "
      "folder; that file is left as it was.");
}

std::string how_to_find_a_code() {
  return say(
      "To find the code of the key you want, press it in holsterkeys-setup, or run "
      "holsterkeys-check --keys.");
}

std::string text_of(const Finding& finding) {
  switch (finding.kind) {
    case F::kNoFile:
    case F::kFileWithHiddenExtension:
    case F::kFileNameEndsWithBlank:
    case F::kFileNameEndsWithDot:
    case F::kFileNamedNearly:
    case F::kShortcutInPlace:
    case F::kFolderInPlace:
    case F::kUnreadable:
    case F::kOtherFileName:
    case F::kVirtualStoreCopy:
    case F::kVirtualStoreCopyOlder:
    case F::kVirtualStoreCopyAlone:
    case F::kUnmarkedUtf16:
    case F::kUtf8MarkHidesFirstLine:
    case F::kUtf16BigEndian:
      return about_the_file(finding);
    case F::kRichText:
    case F::kJson:
    case F::kYaml:
    case F::kCommaSeparated:
    case F::kSemicolonSeparated:
    case F::kSpreadsheetCells:
    case F::kHiddenLineBreak:
      return about_the_format(finding);
    case F::kNoSection:
    case F::kNoSectionHeaderHelps:
    case F::kUnknownName:
    case F::kUnknownWeaponName:
    case F::kMisnamedCategory:
    case F::kOtherCommentAsEntry:
    case F::kOtherCommentAsLine:
    case F::kNoEquals:
    case F::kNoEqualsRemark:
    case F::kSecondEntry:
    case F::kSecondSectionHidden:
    case F::kSecondSectionMerge:
    case F::kSecondSectionOverruled:
    case F::kSecondSectionAlike:
      return about_the_lines(finding);
    case F::kNotBound:
    case F::kNotBoundGivenAbove:
    case F::kUnboundOnPurpose:
    case F::kNotReadHere:
    case F::kNotReadForEncoding:
    case F::kTypedCharacter:
    case F::kTypedCharacterOfLayout:
    case F::kStopsBeforeNumber:
    case F::kMouseWheel:
    case F::kKeyName:
    case F::kKeyNameFiresOrAims:
    case F::kUnknownKeyName:
    case F::kOffOnPurpose:
    case F::kLoneDigit:
    case F::kOctal:
    case F::kOtherHexNotation:
    case F::kMoreThanOneKey:
    case F::kNoSuchKey:
    case F::kStopsInsideNumber:
    case F::kStopsAfterPrefix:
    case F::kLongValue:
    case F::kFiresOrAims:
    case F::kLookAlikeInHex:
    case F::kRemarkNamesOtherKey:
      return about_the_value(finding);
    case F::kSharedKey:
    case F::kSharedKeySomePresses:
    case F::kSharedKeyNoPress:
    case F::kNeverSelected:
    case F::kSelectedOnlyBy:
    case F::kOnNumpad:
    case F::kOnWindowsKey:
    case F::kOnAlt:
      return about_presses(finding);
    case F::kSavedLaterBeside:
    case F::kSavedLaterBelow:
    case F::kAlsoHere:
    case F::kNeverRead:
    case F::kNeverReadBelow:
    case F::kFolderWithoutProgram:
      return about_nearby(finding);
  }
  return {};
}

std::string status_of(const Diagnosis& diagnosis, const BindingReadings& readings,
                      const Category& of) {
  if (const Finding* state = diagnosis.state_of(of)) return state_words(*state, of);
  return readings[row_of(of)].text.empty() ? say("not bound") : say("ok");
}

std::string findings_text(const BindingReadings& readings, const Diagnosis& diagnosis) {
  std::vector<std::string> findings, notes;
  for (const Finding& finding : diagnosis.found) {
    (is_note(finding.kind) ? notes : findings).push_back(text_of(finding));
  }
  std::string text;
  if (!findings.empty()) {
    text += "\n" +
            say_count("{count} finding:", "{count} findings:", findings.size(),
                      count(findings.size())) +
            "\n";
    for (const std::string& finding : findings) text += "- " + finding + "\n";
  }
  if (!notes.empty()) {
    text += "\n" + say_count("{count} note:", "{count} notes:", notes.size(), count(notes.size())) +
            "\n";
    for (const std::string& note : notes) text += "- " + note + "\n";
  }
  if (findings.empty()) text += "\n" + verdict(readings, diagnosis) + "\n";
  return text;
}

std::string refused_press(KeyCode code_pressed, const Category& for_category) {
  const auto named = category(&for_category);
  switch (press_danger(code_pressed)) {
    case PressDanger::kFires:
      return say(
          "Not the left mouse button: it fires, so every shot would also switch to {category}.",
          named);
    case PressDanger::kAims:
      return say(
          "Not the right mouse button: it aims, so every time you aim the game would switch to "
          "{category}.",
          named);
    case PressDanger::kAccentUnderWine:
      return say(
          "Not this key: under Wine, a key that puts an accent on the next letter, as ^ and ´ "
          "do, reaches the game only on every second press.");
    case PressDanger::kNone:
      break;
  }
  return {};
}

}  // namespace holsterkeys
