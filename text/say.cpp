#include "text/say.h"

namespace holsterkeys {
namespace detail {

// The translation of a template; English is the template itself.
std::string_view translated(std::string_view english) { return english; }

namespace {

// The form of a template that depends on a count.
std::string_view translated_count(std::string_view one, std::string_view many, std::size_t count) {
  return count == 1 ? one : many;
}

}  // namespace

std::string filled(std::string_view english, const Values& values) {
  const std::string_view text = translated(english);
  std::string said;
  said.reserve(text.size() + 32);
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    if ((c == '{' || c == '}') && at + 1 < text.size() && text[at + 1] == c) {
      said += c;
      ++at;
    } else if (c == '{') {
      const std::size_t end = text.find('}', at);
      if (end == std::string_view::npos) break;
      const std::string_view name = text.substr(at + 1, end - at - 1);
      for (std::size_t fact = 0; fact < kFactCount; ++fact) {
        if (kFactNames[fact] == name && values[fact] != nullptr) said += *values[fact];
      }
      at = end;
    } else {
      said += c;
    }
  }
  return said;
}

std::string filled_count(std::string_view one, std::string_view many, std::size_t count,
                         const Values& values) {
  return filled(translated_count(one, many, count), values);
}

}  // namespace detail

std::string say_stored(std::string_view english) {
  return std::string(detail::translated(english));
}

std::string listed(const std::vector<std::string>& items, Joining joining) {
  std::string list;
  for (std::size_t at = 0; at < items.size(); ++at) {
    const Filled<Fact::kList> so_far{list};
    const Filled<Fact::kItem> item{items[at]};
    if (at == 0) {
      list = items[at];
    } else if (at + 1 < items.size() || joining == Joining::kSequence) {
      list = say("{list}, {item}", so_far, item);
    } else if (joining == Joining::kAnd) {
      list = say("{list} and {item}", so_far, item);
    } else {
      list = say("{list} or {item}", so_far, item);
    }
  }
  return list;
}

}  // namespace holsterkeys
