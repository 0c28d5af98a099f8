// text/: the words players read. Every sentence, label and phrase is one
// whole template in the message catalogue, written in English where it is
// said, with named placeholders for the facts it names:
//
//   say("{category} is not bound.", category(shotgun))
//
// The catalogue is extracted from these calls (say, say_count) into
// po/holsterkeys.pot, in GNU gettext's format. A template's placeholders
// are checked when the program is compiled: each names a fact given, and
// each fact given is named, so no sentence can come out cut or with a
// placeholder left in it. It depends on nothing of the project's own.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace holsterkeys {

// The facts a template may name, each as {name}.
enum class Fact : std::uint8_t {
  kCategory,    // a configuration name: "handguns"
  kCategories,  // a list of them
  kWinner,      // the category that wins
  kEntry,       // a line to write: "handguns=0x62"
  kEntries,     // a list of them
  kKey,         // a key's name: "Numpad2"
  kKeys,        // a list of them
  kOtherKey,    // a second key
  kCode,        // a key code: "0x62"
  kOtherCode,   // a second one
  kNumber,      // a number as the module reads it: "58"
  kText,        // the player's text, shown as typed: "\"F2\""
  kName,        // a name: of a file, a section, a category the player wrote
  kLine,        // a line's number in the file
  kOtherLine,   // a second line's number
  kCount,       // how many
  kOtherCount,  // a second count
  kPath,        // a file's full path
  kFolder,      // a folder's full path
  kReason,      // why something failed, a whole sentence
  kCharacter,   // a character as a sentence names it: "the blank"
  kSaved,       // when a file was saved
  kOtherSaved,  // when another was
  kSlot,        // a slot number
  kList,        // the list so far, while a list is joined
  kItem,        // the item that joins it
  kProgram,     // a program's name or path
  kModule,      // the module's path in a program
  kProcess,     // a process's number
  kOption,      // a command-line option
  kSentence,    // a whole sentence, said already
  kCodes,       // the numbers of characters: "ö is U+00F6"
  kOtherEntry,  // a second line to write
  kOrder,       // the categories in row order, which decides who wins
  kNames,       // a list of names
  kStatus,      // a category's state in a few words
  kOtherPath,   // a second file's full path
  kPrefix,      // a Wine prefix's folder, a Linux path
  kApp,         // Steam's number of a game
  kCommand,     // a line for the player to run: in a terminal, or in Steam
  kLast = kCommand,
};

inline constexpr std::size_t kFactCount = static_cast<std::size_t>(Fact::kLast) + 1;

// The names as templates write them, in the order of Fact.
inline constexpr std::array<std::string_view, kFactCount> kFactNames = {
    "category",   "categories",  "winner",      "entry",   "entries",     "key",     "keys",
    "other_key",  "code",        "other_code",  "number",  "text",        "name",    "line",
    "other_line", "count",       "other_count", "path",    "folder",      "reason",  "character",
    "saved",      "other_saved", "slot",        "list",    "item",        "program", "module",
    "process",    "option",      "sentence",    "codes",   "other_entry", "order",   "names",
    "status",     "other_path",  "prefix",      "app",         "command",
};

using FactMask = std::uint64_t;
static_assert(kFactCount <= 64);

constexpr FactMask mask_of(Fact fact) { return FactMask{1} << static_cast<unsigned>(fact); }

// The placeholders of a template: "{name}" for a fact, "{{" and "}}" for a
// brace. Anything else is not a template; in a constant expression that
// stops the compiler, and at run time it gives nothing: ~0.
constexpr FactMask facts_named(std::string_view text) {
  FactMask named = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '}') {
      if (at + 1 == text.size() || text[at + 1] != '}') return ~FactMask{0};
      ++at;
      continue;
    }
    if (text[at] != '{') continue;
    if (at + 1 < text.size() && text[at + 1] == '{') {
      ++at;
      continue;
    }
    const std::size_t end = text.find('}', at);
    if (end == std::string_view::npos) return ~FactMask{0};
    const std::string_view name = text.substr(at + 1, end - at - 1);
    std::size_t fact = 0;
    while (fact < kFactCount && kFactNames[fact] != name) ++fact;
    if (fact == kFactCount) return ~FactMask{0};
    named |= FactMask{1} << fact;
    at = end;
  }
  return named;
}

// A fact's value as a sentence shows it.
template <Fact F>
struct Filled {
  std::string shown;
};

// An English template whose placeholders are exactly the facts F: checked
// when the program is compiled.
template <Fact... F>
class Template {
 public:
  consteval Template(const char* english) : english_(english) {
    constexpr FactMask given = (FactMask{0} | ... | mask_of(F));
    static_assert(std::popcount(given) == sizeof...(F), "a fact is given twice");
    if (facts_named(english_) != given) {
      throw "the template's placeholders are not the facts given";
    }
  }
  std::string_view english() const { return english_; }

 private:
  std::string_view english_;
};

namespace detail {

using Values = std::array<const std::string*, kFactCount>;

// The template in the player's language, with each placeholder filled.
std::string filled(std::string_view english, const Values& values);
std::string filled_count(std::string_view one, std::string_view many, std::size_t count,
                         const Values& values);

template <Fact... F>
Values values_of(const Filled<F>&... facts) {
  Values values{};
  ((values[static_cast<std::size_t>(F)] = &facts.shown), ...);
  return values;
}

}  // namespace detail

// The template, in the player's language, with its facts filled in.
template <Fact... F>
std::string say(std::type_identity_t<Template<F...>> text, const Filled<F>&... facts) {
  return detail::filled(text.english(), detail::values_of(facts...));
}

// The same where the words depend on `count`: `one` in English for 1,
// `many` for any other; other languages have forms of their own.
template <Fact... F>
std::string say_count(std::type_identity_t<Template<F...>> one,
                      std::type_identity_t<Template<F...>> many, std::size_t count,
                      const Filled<F>&... facts) {
  return detail::filled_count(one.english(), many.english(), count, detail::values_of(facts...));
}

// The languages players may read, by code: "en", then those the catalogue
// has ("de", "pt_BR"...).
std::vector<std::string> languages();

// The language for a code that a player or a system gives, in any case,
// with a region or none: "de", "DE-at", "pt_PT", "ru_RU.UTF-8". The
// language itself, else the nearest of that language (Portugal's
// Portuguese is Brazil's here); nothing where there is none of it.
std::optional<std::string> language_named(std::string_view code);

// The language of a Windows language identifier (GetUserDefaultUILanguage),
// by its primary language; English for any other.
std::string language_of_windows(unsigned language_id);

// Everything said from now on is said in `language`, one of languages().
void speak(std::string_view language);

// Marks words for the catalogue where a table stores them rather than a
// call says them, as the names of keys.
constexpr const char* words(const char* english) { return english; }

// Words marked for the catalogue where they are stored rather than said,
// as a category's name in words or a key's name, in the player's language.
std::string say_stored(std::string_view english);

// Items joined as a sentence lists them: "a, b and c", "a or b", "a, b, c".
enum class Joining { kAnd, kOr, kSequence };
std::string listed(const std::vector<std::string>& items, Joining joining = Joining::kAnd);

// Facts as sentences show them. Facts whose showing needs more, as a key's
// name or the player's text, are filled where that is known.
template <Fact F>
Filled<F> fact(std::string shown) {
  return {std::move(shown)};
}
inline Filled<Fact::kCount> count(std::size_t n) { return {std::to_string(n)}; }
inline Filled<Fact::kOtherCount> other_count(std::size_t n) { return {std::to_string(n)}; }
inline Filled<Fact::kLine> line(int number) { return {std::to_string(number)}; }
inline Filled<Fact::kOtherLine> other_line(int number) { return {std::to_string(number)}; }
inline Filled<Fact::kNumber> number(long long value) { return {std::to_string(value)}; }
inline Filled<Fact::kSlot> slot(long long value) { return {std::to_string(value)}; }
inline Filled<Fact::kPath> path(std::string shown) { return {std::move(shown)}; }
inline Filled<Fact::kFolder> folder(std::string shown) { return {std::move(shown)}; }
inline Filled<Fact::kOtherPath> other_path(std::string shown) { return {std::move(shown)}; }
inline Filled<Fact::kReason> reason(std::string sentence) { return {std::move(sentence)}; }
inline Filled<Fact::kSentence> sentence(std::string said) { return {std::move(said)}; }

}  // namespace holsterkeys
