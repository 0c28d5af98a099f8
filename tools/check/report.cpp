#include "tools/check/report.h"

#include <cstdio>

#include "advice/visible_text.h"
#include "bindings/category_names.h"
#include "keys/key_names.h"

namespace holsterkeys {
namespace {

constexpr std::size_t kTextWidth = 16;

// A long text is cut so that the columns stay aligned; its finding shows it whole.
std::string cut_to_column(const std::string& text) {
  if (text.empty()) return "(none)";
  const std::string shown = visible(text);
  if (shown.size() <= kTextWidth) return shown;
  return shown.substr(0, kTextWidth - 3) + "...";
}

// Negative codes are shown in decimal alone; hexadecimal would hide the sign.
std::string code_column(KeyCode code) {
  const std::string decimal = std::to_string(code);
  return code < 0 ? decimal : hex_code(code) + " (" + decimal + ")";
}

void print_table(const BindingReadings& readings) {
  std::printf("%-12s %-4s  %-16s %-14s %s\n", "category", "slot", "text", "key code", "key");
  for (const Category* category : categories_by_slot()) {
    const std::size_t row = row_of(*category);
    const KeyCode code = readings[row].number.code;
    const std::string name = key_name(code);
    std::printf("%-12s %-4d  %-16s %-14s %s\n", kCategories[row].name,
                static_cast<int>(kCategories[row].slot), cut_to_column(readings[row].text).c_str(),
                code_column(code).c_str(), name.empty() ? "-" : name.c_str());
  }
}

}  // namespace

void print_report(const std::string& location, const BindingReadings& readings,
                  const Diagnosis& diagnosis) {
  std::printf("Configuration: %s\n\n", location.c_str());
  print_table(readings);
  std::fputs(findings_text(readings, diagnosis).c_str(), stdout);
}

void print_tsv(const BindingReadings& readings) {
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    std::printf("%s\t%d\t%d\t%s\n", kCategories[row].name, static_cast<int>(kCategories[row].slot),
                static_cast<int>(readings[row].number.code), readings[row].text.c_str());
  }
}

}  // namespace holsterkeys
