// The players' languages: which catalogue a player's system or a code names,
// the plural forms, and what every language must keep of English.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "text/catalogue.h"
#include "text/say.h"

namespace holsterkeys {
namespace {

// Speaks a language for one test, and English again after it.
struct Speaking {
  explicit Speaking(const std::string& language) { speak(language); }
  ~Speaking() { speak("en"); }
};

TEST(Languages, SystemsAndPlayersNameThemEveryWay) {
  const struct {
    const char* named;
    const char* language;  // "" for none
  } cases[] = {
      {"en", "en"},
      {"C", "en"},
      {"POSIX", "en"},
      {"en_GB.UTF-8", "en"},
      {"de", "de"},
      {"DE", "de"},
      {"de_AT", "de"},
      {"de-CH.UTF-8", "de"},
      {"fr_CA", "fr"},
      {"es_MX", "es"},
      {"it_IT@euro", "it"},
      {"pl_PL", "pl"},
      {"ru_RU.UTF-8", "ru"},
      {"pt_BR", "pt_BR"},
      {"pt-br", "pt_BR"},
      {"pt_PT", "pt_BR"},
      {"pt", "pt_BR"},
      {"xx", ""},
      {"", ""},
      {"nl_NL", ""},
  };
  const std::vector<std::string> known = languages();
  for (const auto& row : cases) {
    const bool have = std::find(known.begin(), known.end(), row.language) != known.end();
    if (*row.language != '\0' && !have) continue;  // a catalogue this build lacks
    EXPECT_EQ(language_named(row.named).value_or(""), row.language) << row.named;
  }
  // Windows' identifiers by their primary language, sublanguages alike.
  EXPECT_EQ(language_of_windows(0x0409), "en");
  EXPECT_EQ(language_of_windows(0x0413), "en");  // Dutch has no catalogue
  if (std::find(known.begin(), known.end(), "de") != known.end()) {
    EXPECT_EQ(language_of_windows(0x0407), "de");
    EXPECT_EQ(language_of_windows(0x0C07), "de");  // Austria
  }
  if (std::find(known.begin(), known.end(), "pt_BR") != known.end()) {
    EXPECT_EQ(language_of_windows(0x0816), "pt_BR");  // Portugal
  }
}

TEST(Languages, EveryLanguageHasItsCatalogue) {
  EXPECT_EQ(languages(),
            (std::vector<std::string>{"en", "de", "es", "fr", "it", "pl", "pt_BR", "ru"}));
}

// The form each count takes, as gettext's Plural-Forms of each language say.
TEST(Languages, CountsTakeTheirLanguagesPluralForms) {
  const struct {
    PluralRule rule;
    std::vector<std::size_t> forms;  // for the counts 0, 1, 2, 5, 11, 12, 21, 22, 25, 112
  } cases[] = {
      {PluralRule::kOneOther, {1, 0, 1, 1, 1, 1, 1, 1, 1, 1}},
      {PluralRule::kOneUpOther, {0, 0, 1, 1, 1, 1, 1, 1, 1, 1}},
      {PluralRule::kSlavicEastern, {2, 0, 1, 2, 2, 2, 0, 1, 2, 2}},
      {PluralRule::kPolish, {2, 0, 1, 2, 2, 2, 2, 1, 2, 2}},
  };
  const std::size_t counts[] = {0, 1, 2, 5, 11, 12, 21, 22, 25, 112};
  for (const auto& row : cases) {
    for (std::size_t at = 0; at < std::size(counts); ++at) {
      EXPECT_EQ(plural_form(row.rule, counts[at]), row.forms[at])
          << static_cast<int>(row.rule) << " " << counts[at];
    }
  }
}

// The setup window's six labels: each with one Alt key, none twice.
TEST(Languages, AltKeysOfTheWindowAreUniqueInEveryLanguage) {
  for (const std::string& language : languages()) {
    const Speaking speaking(language);
    std::set<std::string> keys;
    for (const std::string& label :
         {say("&Keys:"), say("&Change key..."), say("&Unbind"), say("Open &folder"), say("C&lose"),
          say("F&indings and notes:")}) {
      const std::size_t mark = label.find('&');
      ASSERT_NE(mark, std::string::npos) << language << ": " << label;
      EXPECT_EQ(label.find('&', mark + 1), std::string::npos) << language << ": " << label;
      // The letter after it, in UTF-8, with A to Z in lower case.
      std::string key = label.substr(mark + 1, (label[mark + 1] & 0x80) ? 2 : 1);
      for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      EXPECT_TRUE(keys.insert(key).second) << language << ": " << key << " twice";
    }
  }
}

// A count and a list fill their templates in every language.
TEST(Languages, CountsAndListsAreSaidWhole) {
  for (const std::string& language : languages()) {
    const Speaking speaking(language);
    for (std::size_t n : {0, 1, 2, 5, 21}) {
      const std::string said = say_count("{count} finding:", "{count} findings:", n, count(n));
      EXPECT_NE(said.find(std::to_string(n)), std::string::npos) << language << ": " << said;
      EXPECT_EQ(said.find('{'), std::string::npos) << language << ": " << said;
    }
    const std::string list = listed({"handguns", "shotgun", "rifle"});
    EXPECT_TRUE(list.starts_with("handguns") && list.ends_with("rifle")) << language << list;
  }
}

}  // namespace
}  // namespace holsterkeys
