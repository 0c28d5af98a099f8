// The checker's two passes, over the file's lines and over the bindings'
// values, and the wording they share.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "advice/diagnosis.h"
#include "bindings/profile_file.h"

namespace holsterkeys {

// Where the reader finds each category's entry, in row order.
using Matches = std::array<ProfileMatch, kCategoryCount>;

// How a player saves the file so that Windows and Wine read it alike.
inline constexpr char kAsAnsi[] = "as ANSI (in Notepad: File > Save As, Encoding: ANSI)";

// Text from the file in quotes, every unprintable character named.
std::string quoted(std::string_view text);
std::string line_at(int number);  // "Line 7: "
// "handguns=0x62", the line to write.
std::string assignment(const Category& category, KeyCode code);

// The lines of the file that the reader passes over or never reaches.
// `first_header_hidden`: Windows misses the first line, a header behind a
// UTF-8 byte-order mark, and Wine does not.
void diagnose_layout(const ProfileLines& lines, const Matches& matches, bool first_header_hidden,
                     Diagnosis& diagnosis);

// Each binding's value. `encoding_found`: a finding already says that the
// file's encoding hides lines from this system's reader.
void diagnose_values(const BindingReadings& readings, const Matches& matches, bool encoding_found,
                     Diagnosis& diagnosis);

// What one press does: categories that fire together, and which one the
// module selects; keys that do something else as well.
void diagnose_presses(const BindingReadings& readings, Diagnosis& diagnosis);

// True for a code that a key or mouse button has.
bool names_a_key(KeyCode code);

}  // namespace holsterkeys
