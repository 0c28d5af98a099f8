#include "tools/check/report.h"

#include <cstdio>

#include "advice/visible_text.h"
#include "bindings/category_names.h"
#include "keys/key_names.h"
#include "keys/player_text.h"
#include "tools/check/console.h"

namespace holsterkeys {
namespace {

constexpr std::size_t kTextWidth = 16;

// A long text is cut so that the columns stay aligned; its finding shows it whole.
std::string cut_to_column(const std::string& text) {
  return text.empty() ? "(none)" : shortened(text, kTextWidth);
}

// Negative codes are shown in decimal alone; hexadecimal would hide the sign.
std::string code_column(KeyCode code) {
  const std::string decimal = std::to_string(code);
  return code < 0 ? decimal : hex_code(code) + " (" + decimal + ")";
}

// Padded to `width` characters, each UTF-8 character counted once.
std::string padded(const std::string& text, std::size_t width) {
  std::size_t characters = 0;
  for (char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return text + std::string(width > characters ? width - characters : 0, ' ');
}

std::string table(const BindingReadings& readings) {
  std::string lines = padded("category", 13) + padded("slot", 6) + padded("text", 17) +
                      padded("key code", 15) + "key\n";
  for (const Category* category : categories_by_slot()) {
    const std::size_t row = row_of(*category);
    const KeyCode code = readings[row].number.code;
    const std::string name = shown_key_name(code);
    lines += padded(kCategories[row].name, 13) + padded(std::to_string(kCategories[row].slot), 6) +
             padded(cut_to_column(readings[row].text), 17) + padded(code_column(code), 15) +
             (name.empty() ? "-" : name) + "\n";
  }
  return lines;
}

}  // namespace

void print_report(const std::string& location, const BindingReadings& readings,
                  const Diagnosis& diagnosis) {
  print_text(as_utf8("Configuration: " + location + "\n\n" + table(readings) +
                     findings_text(readings, diagnosis)));
}

void print_tsv(const BindingReadings& readings) {
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    std::printf("%s\t%d\t%d\t%s\n", kCategories[row].name, static_cast<int>(kCategories[row].slot),
                static_cast<int>(readings[row].number.code), readings[row].text.c_str());
  }
}

}  // namespace holsterkeys
