// What the checker finds, as values: each finding or note has a kind, the
// category it is about, the facts its sentences name and the lines it
// proposes, each proven to work when followed. Whether it is a finding or a
// note, and which categories it gives a status in the setup window, follow
// from its kind; its words are in finding_text.h, and nothing decides on them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "advice/proposal.h"
#include "bindings/bindings.h"
#include "files/file_system.h"

namespace holsterkeys {

// Each kind's comment names the facts it sets besides its category.
enum class FindingKind : std::uint8_t {
  // The file as the system finds it.
  kNoFile,                   // path
  kFileWithHiddenExtension,  // path, name: holsterkeys.ini.txt beside the missing file
  kFileNameEndsWithBlank,    // path, name
  kFileNameEndsWithDot,      // path, name
  kFileNamedNearly,          // path, name
  kShortcutInPlace,          // path, name: holsterkeys.ini.lnk, a shortcut
  kFolderInPlace,            // path
  kUnreadable,               // path, problem, text: the system's message
  kOtherFileName,            // a note: the file checked is not named holsterkeys.ini
  kVirtualStoreCopy,         // path: the copy the game reads, name: the file it does
                             // not, saved: the copy's time, other_saved: the file's
  kVirtualStoreCopyOlder,    // the same, where the file was saved after the copy
  kVirtualStoreCopyAlone,    // path, name: the copy where the game's folder has no file
  kUnmarkedUtf16,
  kUtf8MarkHidesFirstLine,  // count: bindings Windows reads, other_count: Wine's,
                            // other_line: a second [Bindings] header, or 0
  kUtf16BigEndian,          // the same
  // Files that are no plain list of lines.
  kRichText,            // count: bindings read
  kJson,                // proposals: the plain lines that say the same
  kYaml,                // the same
  kCommaSeparated,      // the same
  kSemicolonSeparated,  // the same
  kSpreadsheetCells,    // the same
  kHiddenLineBreak,     // line, text, count
  // The file's lines.
  kNoSection,               // names: the sections there are
  kNoSectionHeaderHelps,    // the same
  kUnknownName,             // a note; line, name
  kUnknownWeaponName,       // line, name, text: the value as a code, or empty
  kMisnamedCategory,        // line, name, category: the one meant; other_line where
                            // it is set already, or proposals
  kOtherCommentAsEntry,     // a note; line, text, name: the marker, other_text: entry name
  kOtherCommentAsLine,      // a note; line, text, name: the marker
  kNoEquals,                // line, text; category and other_line where it is set
                            // already, or proposals
  kNoEqualsRemark,          // a note; line, text
  kSecondEntry,             // line, category, other_line: the one that counts
  kSecondSectionHidden,     // line, other_line: the first header
  kSecondSectionMerge,      // line, other_line
  kSecondSectionOverruled,  // line, other_line, categories with lines: set otherwise
  kSecondSectionAlike,      // a note; line, other_line
  // Each binding's value.
  kNotBound,  // proposals; kNotBoundGivenAbove where a line is given above
  kNotBoundGivenAbove,
  kUnboundOnPurpose,        // a note; line, proposals
  kNotReadHere,             // line
  kNotReadForEncoding,      // line
  kTypedCharacter,          // text, proposals: the code every layout gives it
  kTypedCharacterOfLayout,  // text
  kStopsBeforeNumber,       // text, at: the character, proposals
  kMouseWheel,              // text, proposals
  kKeyName,                 // text, code: the key named, proposals
  kKeyNameFiresOrAims,      // text, code, proposals
  kUnknownKeyName,          // text
  kOffOnPurpose,            // a note; text, proposals: the 0 key
  kLoneDigit,               // text, code, number: the digit, proposals
  kOctal,                   // text, code
  kOtherHexNotation,        // text, code: read, other_code: meant, proposals
  kMoreThanOneKey,          // text, code: read, proposals
  kNoSuchKey,               // code
  kStopsInsideNumber,       // text, code, at: the character, proposals
  kStopsAfterPrefix,        // the same: after "0x"
  kLongValue,               // a note; line, count: its length
  kFiresOrAims,             // text, code, proposals
  kLookAlikeInHex,          // text, at: the character, proposals
  kRemarkNamesOtherKey,     // a note; text, code, other_code: the remark's key
  // What a press does.
  kSharedKey,             // code, categories, winner: every press selects it
  kSharedKeySomePresses,  // code, categories, winner, keys: the presses it wins
  kSharedKeyNoPress,      // code, categories
  kNeverSelected,         // lost presses, proposals
  kSelectedOnlyBy,        // keys, lost presses, proposals
  kOnNumpad,              // a note; categories
  kOnWindowsKey,          // a note; categories
  kOnAlt,                 // a note; categories
  // The files around it.
  kSavedLaterBeside,      // path, name: the other file, saved, other_saved
  kSavedLaterBelow,       // the same
  kAlsoHere,              // a note; name, saved, other_saved
  kNeverRead,             // a note; path, name, saved
  kNeverReadBelow,        // a note; the same
  kFolderWithoutProgram,  // a note; path, names: the programs above
};

// A press of `key` that selects `winner` rather than the category: the
// press sets the category's code and `winner_code` as well.
struct LostPress {
  KeyCode key;
  const Category* winner;
  KeyCode winner_code;
};

struct Finding {
  explicit Finding(FindingKind found) : kind(found) {}

  FindingKind kind;
  const Category* category = nullptr;  // the category it is about, if it is about one
  std::vector<Proposal> proposals;     // lines to write, each proven to work when followed
  int line = 0;
  int other_line = 0;
  std::string text;        // the player's text, as the file holds it
  std::string other_text;  // more of it: a character, a marker
  std::string name;        // a name the player wrote, or a file's
  std::size_t at = 0;      // where in the text: the character it is about
  KeyCode code = 0;
  KeyCode other_code = 0;
  long long number = 0;
  std::size_t count = 0;
  std::size_t other_count = 0;
  std::vector<const Category*> categories;
  std::vector<int> lines;  // with categories: the line of each
  const Category* winner = nullptr;
  std::vector<KeyCode> keys;
  std::vector<LostPress> lost_presses;
  std::vector<std::string> names;
  std::string path;
  std::int64_t saved = 0;
  std::int64_t other_saved = 0;
  FileProblem problem = FileProblem::kOther;
};

// A note is worth knowing but needs no change; a finding keeps a binding
// from working and makes the checker's exit status 1.
bool is_note(FindingKind kind);

// The categories whose status in the setup window the finding gives.
std::vector<const Category*> categories_in_state(const Finding& finding);

struct Diagnosis {
  std::vector<Finding> found;  // findings and notes, in the order found

  bool has_findings() const;
  // The first finding or note that gives the category's status, or null.
  const Finding* state_of(const Category& category) const;
  // The lines proposed so far, for the category.
  bool proposes_for(const Category& category) const;
};

}  // namespace holsterkeys
