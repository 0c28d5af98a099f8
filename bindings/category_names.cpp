#include "bindings/category_names.h"

#include <algorithm>

#include "bindings/profile_file.h"

namespace holsterkeys {

const Category* category_named(std::string_view name) {
  for (const Category& category : kCategories) {
    if (same_profile_name(category.name, name)) return &category;
  }
  return nullptr;
}

const Category* category_with_slot(SlotNumber slot) {
  for (const Category& category : kCategories) {
    if (category.slot == slot) return &category;
  }
  return nullptr;
}

std::vector<const Category*> categories_by_slot() {
  std::vector<const Category*> sorted;
  for (const Category& category : kCategories) sorted.push_back(&category);
  std::sort(sorted.begin(), sorted.end(),
            [](const Category* a, const Category* b) { return a->slot < b->slot; });
  return sorted;
}

std::vector<std::string> category_names() {
  std::vector<std::string> names;
  for (const Category& category : kCategories) names.emplace_back(category.name);
  return names;
}

}  // namespace holsterkeys
