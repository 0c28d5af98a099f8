#include "advice/loose_names.h"

#include <algorithm>
#include <vector>

#include "keys/player_text.h"

namespace holsterkeys {

std::string loose(std::string_view name) {
  std::string result;
  for (char c : name) {
    if (c != ' ' && c != '\t' && c != '_' && c != '-') result.push_back(c);
  }
  return lowercase(result);
}

std::size_t edit_distance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace holsterkeys
