// The catalogues of the languages besides English, as the build makes them
// from po/*.po (tools/messages.py compile): each compressed, since a
// program carries all of them and speaks one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace holsterkeys {

// Which plural form a count takes, by the rules of gettext's Plural-Forms.
enum class PluralRule {
  kOneOther,       // n != 1: English, German, Spanish, Italian
  kOneUpOther,     // n > 1: French and Brazilian Portuguese, where 0 is singular too
  kSlavicEastern,  // Russian: 1, 21, 31... / 2-4, 22-24... / the rest
  kPolish,         // 1 / 2-4, 22-24... but 12-14 / the rest
};

struct Catalogue {
  const char* language;  // "de", "pt_BR"
  PluralRule plural;
  const unsigned char* compressed;
  std::size_t compressed_size;
  std::size_t size;
};

extern const Catalogue kCatalogues[];
extern const std::size_t kCatalogueCount;

// A catalogue's text, uncompressed: for each message, sorted by the hash
// of its English template, the hash in four bytes, least significant
// first, a byte that counts its forms, and the forms, each ended with a
// NUL. No two templates hash alike; the build makes sure. The compression is LZ77 over bytes: a
// byte below 0x80 is followed by that many and one more bytes as they are;
// one of 0x80 or above repeats (its low seven bits plus three) bytes from
// as far back as the next two bytes say, least significant first.
std::string uncompressed(const Catalogue& catalogue);

// The hash of an English template: FNV-1a over its UTF-8.
constexpr std::uint32_t template_hash(std::string_view english) {
  std::uint32_t hash = 0x811C9DC5;
  for (char c : english) hash = (hash ^ static_cast<unsigned char>(c)) * 0x01000193;
  return hash;
}

// The form of the plural that `count` takes in the rule.
std::size_t plural_form(PluralRule rule, std::size_t count);

}  // namespace holsterkeys
