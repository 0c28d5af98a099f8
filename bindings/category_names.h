// The categories by name, for the tools that take a name from a player or
// list the names back.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "bindings/bindings.h"

namespace holsterkeys {

// The category of that entry name, compared without case as the reader
// compares names; nullptr when there is none.
const Category* category_named(std::string_view name);

// The category that selects `slot`; nullptr for a number no category has.
const Category* category_with_slot(SlotNumber slot);

// The categories in slot order, 2 to 6, as players list them.
std::vector<const Category*> categories_by_slot();

// All five names in row order: "handguns", "machineguns", ... "rifle".
std::vector<std::string> category_names();

}  // namespace holsterkeys
