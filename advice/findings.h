// The checker's two passes, over the file's lines and over the bindings'
// values, and the wording they share.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "advice/diagnosis.h"
#include "advice/proposal.h"
#include "bindings/profile_file.h"

namespace holsterkeys {

// Where the reader finds each category's entry, in row order.
using Matches = std::array<ProfileMatch, kCategoryCount>;

// What the advice says where no line it could propose works when followed.
inline constexpr char kFindTheCode[] =
    "To find the code of the key you want, press it in holsterkeys-setup, or run "
    "holsterkeys-check --keys.";

// How a player saves the file so that Windows and Wine read it alike.
inline constexpr char kAsAnsi[] = "as ANSI (in Notepad: File > Save As, Encoding: ANSI)";

// Text from the file in quotes, every unprintable character named, and the
// numbers of its letters beyond ASCII after it: "\"ö\" (ö is U+00F6)".
std::string quoted(std::string_view text);
std::string line_at(int number);  // "Line 7: "
// "handguns=0x62", the line to write, and the same as a proposal.
std::string assignment(const Category& category, KeyCode code);
Proposal proposal_of(const Category& category, KeyCode code);

// `words`, which give `proposal`, when the proposal works; then it is
// among the diagnosis's proposals. Empty when it does not work.
std::string offered(const ProposalCheck& check, Diagnosis& diagnosis, const Proposal& proposal,
                    const std::string& words);

// The bindings that the reader of `dialect` reads from `bytes`.
BindingReadings read_as(const std::string& bytes, ProfileDialect dialect);

// The diagnosis, with each proposed line judged by `check`.
Diagnosis diagnose_with(const ConfigFile& file, const BindingReadings& readings,
                        const ProposalCheck& check);

// A key no category has, for an example: the numpad digit of the
// category's slot, else the first free numpad digit.
KeyCode spare_code(const BindingReadings& readings, const Category& category);

// The key a word names as a number: a whole number of two characters or
// more that is not octal and names a key. A lone digit is a code to the
// module and a key to other programs, and a leading 0 reads two ways, so
// those name none.
std::optional<KeyCode> number_key(std::string_view word);

// The binding a line in another program's syntax names: its category and
// one key, each written once ("handguns -> 0x37", "\"handguns\": \"0x37\"",
// "bind F7 handguns"); nothing when it names no category or no single key.
std::optional<Proposal> binding_in(std::string_view text);

// The files around the configuration that the module never reads, and a
// folder that does not look like the game's.
void diagnose_nearby(const ConfigFile& file, Diagnosis& diagnosis);

// A file that is no plain list of lines, whatever its bindings: rich text,
// JSON, YAML, a spreadsheet's cells, or lines joined by separators that
// end no line for the module. Gives the one finding that says how to save
// it, and true; false for a plain file.
bool diagnose_format(const ProfileLines& lines, const BindingReadings& readings,
                     Diagnosis& diagnosis);

// How many of the five bindings a file gives, in words: "none of the
// bindings", "2 of the five bindings".
std::string how_many_bound(const BindingReadings& readings);

// The lines of the file that the reader passes over or never reaches.
// `first_header_hidden`: Windows misses the first line, a header behind a
// UTF-8 byte-order mark, and Wine does not.
void diagnose_layout(const ProfileLines& lines, const Matches& matches, bool first_header_hidden,
                     const ProposalCheck& check, Diagnosis& diagnosis);

// Each binding's value. `encoding_found`: a finding already says that the
// file's encoding hides lines from this system's reader.
void diagnose_values(const BindingReadings& readings, const Matches& matches, bool encoding_found,
                     const ProposalCheck& check, Diagnosis& diagnosis);

// What one press does: categories that fire together, and which one the
// module selects; keys that do something else as well.
void diagnose_presses(const BindingReadings& readings, const ProposalCheck& check,
                      Diagnosis& diagnosis);

// True for a code that a key or mouse button has.
bool names_a_key(KeyCode code);

}  // namespace holsterkeys
