// The checker's two passes, over the file's lines and over the bindings'
// values, and the wording they share.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "bindings/profile_file.h"
#include "tools/check/diagnosis.h"

namespace holsterkeys {

// Where the reader finds each category's entry, in row order.
using Matches = std::array<ProfileMatch, kCategoryCount>;

std::string quoted(std::string_view text);
std::string line_at(int number);  // "Line 7: "
// "handguns=0x62", the line to write.
std::string assignment(const Category& category, KeyCode code);

// The lines of the file that the reader passes over or never reaches.
void diagnose_layout(const ProfileLines& lines, const Matches& matches, Diagnosis& diagnosis);

// Each binding's value, and keys that several categories share.
void diagnose_values(const BindingReadings& readings, const Matches& matches, Diagnosis& diagnosis);

}  // namespace holsterkeys
