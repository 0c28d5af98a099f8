// The checker's passes: over the file as the system finds it, over the
// files around it, over its format, its lines, the bindings' values and
// what one press does. Each adds findings and notes to the diagnosis.
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

// The line that binds `category` to `code`, its value the code in hex.
Proposal proposal_of(const Category& category, KeyCode code);

// Adds `proposal` to the finding's lines where it works when followed;
// false where it does not.
bool offer(const ProposalCheck& check, Finding& finding, const Proposal& proposal);

// The bindings that the reader of `dialect` reads from `bytes`.
BindingReadings read_as(const std::string& bytes, ProfileDialect dialect);

// How many categories a reading binds: that have a value at all.
std::size_t bound_count(const BindingReadings& readings);

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
// "bind F7 handguns", "bind \"7\" \"handguns\""); nothing when it names no
// category or no single key.
std::optional<Proposal> binding_in(std::string_view text);

// The file as the system finds it: missing, a folder, unreadable, another
// name, or in an encoding that no reader or only one reads as meant.
// False where nothing more can be read from it.
bool diagnose_file(const ConfigFile& file, Diagnosis& diagnosis);

// The files around the configuration that the module never reads, and a
// folder that does not look like the game's.
void diagnose_nearby(const ConfigFile& file, Diagnosis& diagnosis);

// A file that is no plain list of lines, whatever its bindings: rich text,
// JSON, YAML, a spreadsheet's cells, or lines joined by separators that
// end no line for the module. Gives the one finding that says how to save
// it, and true; false for a plain file.
bool diagnose_format(const ProfileLines& lines, const BindingReadings& readings,
                     Diagnosis& diagnosis);

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

}  // namespace holsterkeys
