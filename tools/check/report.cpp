#include "tools/check/report.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "advice/finding_text.h"
#include "advice/visible_text.h"
#include "bindings/category_names.h"
#include "keys/key_names.h"
#include "keys/player_text.h"
#include "text/say.h"
#include "tools/check/console.h"

namespace holsterkeys {
namespace {

constexpr std::size_t kTextWidth = 16;

// A long text is cut so that the columns stay aligned; its finding shows it whole.
std::string cut_to_column(const std::string& text) {
  return text.empty() ? say("(none)") : shortened(text, kTextWidth);
}

// Negative codes are shown in decimal alone; hexadecimal would hide the sign.
std::string code_column(KeyCode code) {
  const std::string decimal = std::to_string(code);
  return code < 0 ? decimal : hex_code(code) + " (" + decimal + ")";
}

std::size_t characters_in(const std::string& text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

// The table's cells, a row for the titles and one for each category in
// slot order; each column as wide as its widest cell and a blank.
using TableRow = std::array<std::string, 5>;

std::vector<TableRow> cells(const BindingReadings& readings) {
  std::vector<TableRow> rows = {
      {say("category"), say("slot"), say("text"), say("key code"), say("key")}};
  for (const Category* category : categories_by_slot()) {
    const BindingReading& reading = readings[row_of(*category)];
    const std::string name = shown_key_name(reading.number.code);
    rows.push_back({category->name, std::to_string(category->slot), cut_to_column(reading.text),
                    code_column(reading.number.code), name.empty() ? "-" : name});
  }
  return rows;
}

std::string table(const BindingReadings& readings) {
  const std::vector<TableRow> rows = cells(readings);
  // The widths of English, at least, so that the columns stand where they
  // always stood.
  std::array<std::size_t, 5> widths = {13, 6, kTextWidth + 1, 15, 0};
  for (const TableRow& row : rows) {
    for (std::size_t column = 0; column + 1 < row.size(); ++column) {
      widths[column] = std::max(widths[column], characters_in(row[column]) + 1);
    }
  }
  std::string lines;
  for (const TableRow& row : rows) {
    for (std::size_t column = 0; column < row.size(); ++column) {
      const std::size_t shown = characters_in(row[column]);
      lines += row[column];
      if (column + 1 < row.size()) lines += std::string(widths[column] - shown, ' ');
    }
    lines += "\n";
  }
  return lines;
}

}  // namespace

void print_report(const std::string& location, const BindingReadings& readings,
                  const Diagnosis& diagnosis) {
  // Paths come as the system gives them, which may be ANSI.
  print_text(as_utf8(say("Configuration: {path}", path(location)) + "\n\n" + table(readings) +
                     findings_text(readings, diagnosis)));
}

void print_tsv(const BindingReadings& readings) {
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    std::printf("%s\t%d\t%d\t%s\n", kCategories[row].name, static_cast<int>(kCategories[row].slot),
                static_cast<int>(readings[row].number.code), readings[row].text.c_str());
  }
}

}  // namespace holsterkeys
