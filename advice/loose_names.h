// Names as a player may mistype them, compared loosely: for the category a
// misspelt entry means, and the file a misnamed configuration is.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace holsterkeys {

// The name without case, blanks, '_' or '-'.
std::string loose(std::string_view name);

// How many letters, added, removed or changed, turn one name into the other.
std::size_t edit_distance(std::string_view a, std::string_view b);

}  // namespace holsterkeys
