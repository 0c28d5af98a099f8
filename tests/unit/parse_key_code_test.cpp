#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>

#include "bindings/bindings.h"

namespace holsterkeys {
namespace {

constexpr KeyCode kMax = std::numeric_limits<KeyCode>::max();
constexpr KeyCode kMin = std::numeric_limits<KeyCode>::min();

struct ParseCase {
  const char* name;
  std::string text;
  KeyCode expected;
};

void PrintTo(const ParseCase& parse, std::ostream* out) { *out << parse.name; }

class ParseKeyCode : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseKeyCode, GivesWhatThirtyTwoBitStrtolGives) {
  EXPECT_EQ(parse_key_code(GetParam().text.c_str()), GetParam().expected)
      << "text: \"" << GetParam().text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseKeyCode,
    testing::Values(
        ParseCase{"Decimal", "51", 51},
        ParseCase{"HexLowerPrefix", "0x33", 51},
        ParseCase{"HexUpperPrefixAndDigits", "0X3A", 58},
        ParseCase{"Octal", "063", 51},
        ParseCase{"OctalTen", "010", 8},
        ParseCase{"EightIsNoOctalDigit", "08", 0},
        ParseCase{"HexPrefixWithoutDigits", "0x", 0},
        ParseCase{"Zero", "0", 0},
        ParseCase{"LeadingBlanks", " \t 50", 50},
        ParseCase{"PlusSign", "+50", 50},
        ParseCase{"NegativePassedOn", "-5", -5},
        ParseCase{"NegativeHex", "-0x10", -16},
        ParseCase{"TrailingRemark", "0x31 ; left hand", 49},
        ParseCase{"TrailingLetters", "50abc", 50},
        ParseCase{"KeyNameLetters", "F2", 0},
        ParseCase{"SingleLetter", "A", 0},
        ParseCase{"Empty", "", 0},
        ParseCase{"SignOnly", "-", 0},
        ParseCase{"AboveRange", "4294967297", kMax},
        ParseCase{"AllBitsHex", "0xFFFFFFFF", kMax},
        ParseCase{"JustAboveMax", "2147483648", kMax},
        ParseCase{"Max", "2147483647", kMax},
        ParseCase{"Min", "-2147483648", kMin},
        ParseCase{"BelowRange", "-99999999999", kMin},
        ParseCase{"NegativeAllBitsHex", "-0xFFFFFFFF", kMin},
        ParseCase{"BeyondSixtyFourBits", std::string(150, '9'), kMax},
        ParseCase{"BeyondSixtyFourBitsNegative", "-" + std::string(150, '9'), kMin}),
    [](const testing::TestParamInfo<ParseCase>& info) { return info.param.name; });

// The C library's strtoll, clamped to 32 bits, is the reference: every
// combination of blanks, sign, prefix and digits must give the same code.
TEST(ParseKeyCode, AgreesWithClampedStrtollOnEveryCombination) {
  const char* const blanks[] = {"", " ", "\t\n\v\f\r "};
  const char* const signs[] = {"", "+", "-", "--", "+-"};
  const char* const prefixes[] = {"", "0", "0x", "0X", "00x", "x"};
  const char* const bodies[] = {"", "0", "7", "8", "9", "19", "ff", "FFg", "z", "2147483647",
                                "2147483648", "7fffffff", "80000000", "17777777777",
                                "20000000000", "99999999999999999999999", " 5"};
  for (const char* blank : blanks) {
    for (const char* sign : signs) {
      for (const char* prefix : prefixes) {
        for (const char* body : bodies) {
          const std::string text = std::string(blank) + sign + prefix + body;
          const long long wide = std::strtoll(text.c_str(), nullptr, 0);
          const KeyCode expected = static_cast<KeyCode>(std::clamp<long long>(wide, kMin, kMax));
          EXPECT_EQ(parse_key_code(text.c_str()), expected) << "text: \"" << text << "\"";
        }
      }
    }
  }
}

// A reader that fills the whole buffer without a terminating NUL must not
// make the parser run past it: only the first 99 characters count.
TEST(ReadKeyCodes, CutsAnUnterminatedValueToNinetyNineCharacters) {
  struct UnterminatedReader {
    std::string text;
    void read_value(const char*, ValueText& value) const { text.copy(value, kValueSize); }
  };
  // Octal: 98 zeros, then 7, then a 5 in the buffer's last byte.
  const UnterminatedReader octal{std::string(98, '0') + "75"};
  EXPECT_EQ(read_key_codes(octal)[0], 7);
  const UnterminatedReader nines{std::string(kValueSize, '9')};
  EXPECT_EQ(read_key_codes(nines)[4], kMax);
}

}  // namespace
}  // namespace holsterkeys
