#include "text/say.h"

#include <algorithm>
#include <memory>

#include "text/catalogue.h"

namespace holsterkeys {
namespace {

// One message of a catalogue: the hash of its English template, and its
// forms.
struct Message {
  std::uint32_t hash;
  std::vector<std::string_view> forms;
};

// The language spoken now; English speaks its templates themselves.
struct Spoken {
  std::string text;
  PluralRule plural = PluralRule::kOneOther;
  std::vector<Message> messages;  // sorted by their hashes
};
std::unique_ptr<Spoken> spoken;

std::vector<Message> messages_in(std::string_view text) {
  std::vector<Message> messages;
  for (std::size_t at = 0; at + 5 <= text.size();) {
    Message message{0, {}};
    for (std::size_t byte = 0; byte < 4; ++byte) {
      message.hash |= std::uint32_t{static_cast<unsigned char>(text[at + byte])} << (8 * byte);
    }
    std::size_t forms = static_cast<unsigned char>(text[at + 4]);
    for (at += 5; forms-- > 0 && at < text.size(); at = text.find('\0', at) + 1) {
      message.forms.push_back(text.substr(at, text.find('\0', at) - at));
    }
    messages.push_back(message);
  }
  return messages;
}

const Message* message_of(std::string_view english) {
  if (!spoken) return nullptr;
  const std::uint32_t hash = template_hash(english);
  const auto found = std::lower_bound(
      spoken->messages.begin(), spoken->messages.end(), hash,
      [](const Message& message, std::uint32_t key) { return message.hash < key; });
  return found != spoken->messages.end() && found->hash == hash ? &*found : nullptr;
}

// Primary language identifiers of Windows.
struct WindowsLanguage {
  unsigned primary;
  const char* language;
};
constexpr WindowsLanguage kWindowsLanguages[] = {{0x07, "de"}, {0x0A, "es"}, {0x0C, "fr"},
                                                 {0x10, "it"}, {0x15, "pl"}, {0x16, "pt"},
                                                 {0x19, "ru"}};

std::string lowered(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return lower;
}

}  // namespace

namespace detail {
namespace {

// The translation of a template; English is the template itself.
std::string_view translated(std::string_view english) {
  const Message* message = message_of(english);
  return message != nullptr && !message->forms.empty() ? message->forms.front() : english;
}

// The form of a template that depends on a count.
std::string_view translated_count(std::string_view one, std::string_view many, std::size_t count) {
  const Message* message = message_of(one);
  if (message == nullptr) return count == 1 ? one : many;
  const std::size_t form = plural_form(spoken->plural, count);
  return form < message->forms.size() ? message->forms[form] : message->forms.back();
}

// The text with each placeholder filled.
std::string fill(std::string_view text, const Values& values) {
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

}  // namespace

std::string filled(std::string_view english, const Values& values) {
  return fill(translated(english), values);
}

std::string filled_count(std::string_view one, std::string_view many, std::size_t count,
                         const Values& values) {
  return fill(translated_count(one, many, count), values);
}

}  // namespace detail

std::string say_stored(std::string_view english) {
  return std::string(detail::translated(english));
}

std::vector<std::string> languages() {
  std::vector<std::string> codes = {"en"};
  for (std::size_t at = 0; at < kCatalogueCount; ++at) codes.emplace_back(kCatalogues[at].language);
  return codes;
}

std::optional<std::string> language_named(std::string_view code) {
  std::string name = lowered(code.substr(0, code.find_first_of(".@")));
  std::replace(name.begin(), name.end(), '-', '_');
  if (name == "c" || name == "posix") return "en";
  const std::string base = name.substr(0, name.find('_'));
  std::optional<std::string> nearest;
  for (const std::string& language : languages()) {
    if (lowered(language) == name) return language;
    if (!nearest && lowered(language).substr(0, lowered(language).find('_')) == base) {
      nearest = language;
    }
  }
  return nearest;
}

std::string language_of_windows(unsigned language_id) {
  for (const WindowsLanguage& windows : kWindowsLanguages) {
    if ((language_id & 0x3FF) == windows.primary) {
      return language_named(windows.language).value_or("en");
    }
  }
  return "en";
}

void speak(std::string_view language) {
  spoken.reset();
  for (std::size_t at = 0; at < kCatalogueCount; ++at) {
    const Catalogue& catalogue = kCatalogues[at];
    if (catalogue.language != language) continue;
    auto chosen = std::make_unique<Spoken>();
    chosen->text = uncompressed(catalogue);
    chosen->plural = catalogue.plural;
    chosen->messages = messages_in(chosen->text);
    spoken = std::move(chosen);
  }
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
