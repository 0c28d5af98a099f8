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

std::string_view category_in_words(const Category& category) {
  constexpr std::string_view kWords[] = {"Handguns", "Machine guns", "Submachine guns", "Shotgun",
                                         "Rifles"};
  return kWords[row_of(category)];
}

std::vector<const Category*> categories_by_slot() {
  std::vector<const Category*> sorted;
  for (const Category& category : kCategories) sorted.push_back(&category);
  std::sort(sorted.begin(), sorted.end(),
            [](const Category* a, const Category* b) { return a->slot < b->slot; });
  return sorted;
}

std::string joined(const std::vector<std::string_view>& names, std::string_view last_joiner) {
  std::string sentence;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) sentence += i + 1 == names.size() ? last_joiner : ", ";
    sentence += names[i];
  }
  return sentence;
}

std::string joined(const std::vector<std::string>& names, std::string_view last_joiner) {
  return joined(std::vector<std::string_view>(names.begin(), names.end()), last_joiner);
}

std::string category_names(std::string_view last_joiner) {
  std::vector<std::string_view> names;
  for (const Category& category : kCategories) names.push_back(category.name);
  return joined(names, last_joiner);
}

}  // namespace holsterkeys
