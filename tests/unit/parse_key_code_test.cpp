#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>

#include "bindings/bindings.h"
#include "tests/case_name.h"

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

const ParseCase kParseKeyCodeCases[] = {
    {"Decimal", "51", 51},
    {"HexLowerPrefix", "0x33", 51},
    {"HexUpperPrefixAndDigits", "0X3A", 58},
    {"Octal", "063", 51},
    {"OctalTen", "010", 8},
    {"EightIsNoOctalDigit", "08", 0},
    {"NineIsNoOctalDigit", "09", 0},
    {"OctalDigitsUpToSeven", "0777", 511},
    {"HexPrefixWithoutDigits", "0x", 0},
    {"Zero", "0", 0},
    {"LeadingBlanks", " \t 50", 50},
    {"PlusSign", "+50", 50},
    {"NegativePassedOn", "-5", -5},
    {"NegativeHex", "-0x10", -16},
    {"TrailingRemark", "0x31 ; left hand", 49},
    {"TrailingLetters", "50abc", 50},
    {"KeyNameLetters", "F2", 0},
    {"SingleLetter", "A", 0},
    {"Empty", "", 0},
    {"SignOnly", "-", 0},
    {"AboveRange", "4294967297", kMax},
    {"AllBitsHex", "0xFFFFFFFF", kMax},
    {"JustAboveMax", "2147483648", kMax},
    {"Max", "2147483647", kMax},
    {"Min", "-2147483648", kMin},
    {"BelowRange", "-99999999999", kMin},
    {"NegativeAllBitsHex", "-0xFFFFFFFF", kMin},
    {"BeyondSixtyFourBits", std::string(150, '9'), kMax},
    {"BeyondSixtyFourBitsNegative", "-" + std::string(150, '9'), kMin},
};

INSTANTIATE_TEST_SUITE_P(Texts, ParseKeyCode, testing::ValuesIn(kParseKeyCodeCases), CaseName());

// The Windows C library takes a "0x" with no hexadecimal digit after it as
// nothing read, where the C standard, and the parser, read its "0".
#ifdef _WIN32
constexpr bool kNothingReadBeforeBareHexPrefix = true;
#else
constexpr bool kNothingReadBeforeBareHexPrefix = false;
#endif

// Where the parser read the "0" of a "0x" that no hexadecimal digit follows.
bool read_zero_of_bare_hex_prefix(const std::string& text, const KeyCodeReading& reading) {
  return reading.end == reading.digits + 1 && text[reading.digits] == '0' &&
         (text[reading.end] == 'x' || text[reading.end] == 'X');
}

// The C library's strtoll, clamped to 32 bits, is the reference: every
// combination of blanks, sign, prefix and digits must give the same code,
// read up to the same place.
TEST(ParseKeyCode, AgreesWithClampedStrtollOnEveryCombination) {
  const char* const blanks[] = {"", " ", "\t\n\v\f\r "};
  const char* const signs[] = {"", "+", "-", "--", "+-"};
  const char* const prefixes[] = {"", "0", "0x", "0X", "00x", "x"};
  const char* const bodies[] = {
      "",           "0",        "7",        "8",           "9",           "19",
      "ff",         "FFg",      "A",        "g",           "z",           "2147483647",
      "2147483648", "7fffffff", "80000000", "17777777777", "20000000000", "99999999999999999999999",
      " 5"};
  for (const char* blank : blanks) {
    for (const char* sign : signs) {
      for (const char* prefix : prefixes) {
        for (const char* body : bodies) {
          const std::string text = std::string(blank) + sign + prefix + body;
          char* end;
          const long long wide = std::strtoll(text.c_str(), &end, 0);
          const KeyCode expected = static_cast<KeyCode>(std::clamp<long long>(wide, kMin, kMax));
          const KeyCodeReading reading = read_key_code(text.c_str());
          EXPECT_EQ(reading.code, expected) << "text: \"" << text << "\"";
          const auto read_to = static_cast<std::size_t>(end - text.c_str());
          if (kNothingReadBeforeBareHexPrefix && read_zero_of_bare_hex_prefix(text, reading)) {
            EXPECT_EQ(read_to, 0u) << "text: \"" << text << "\"";
            continue;
          }
          EXPECT_EQ(reading.end, read_to) << "text: \"" << text << "\"";
        }
      }
    }
  }
}

struct ReadingCase {
  const char* name;
  const char* text;
  unsigned base;
  std::size_t digits;
  bool has_digits;
  std::size_t end;
};

void PrintTo(const ReadingCase& reading, std::ostream* out) { *out << reading.name; }

class KeyCodeReadingDetails : public testing::TestWithParam<ReadingCase> {};

// How the text was read, which the checker explains to players.
TEST_P(KeyCodeReadingDetails, SayWhereTheNumberIs) {
  const ReadingCase& expected = GetParam();
  const KeyCodeReading reading = read_key_code(expected.text);
  EXPECT_EQ(reading.base, expected.base);
  EXPECT_EQ(reading.digits, expected.digits);
  EXPECT_EQ(reading.has_digits, expected.has_digits);
  EXPECT_EQ(reading.end, expected.end);
}

const ReadingCase kKeyCodeReadingDetailsCases[] = {
    {"HexWithRemark", "0x1F ; x", 16, 2, true, 4},
    {"SignedOctalAfterBlanks", "  -010", 8, 3, true, 6},
    {"DecimalWithTrailingLetters", "+50abc", 10, 1, true, 3},
    {"LoneZeroIsOctal", "0", 8, 0, true, 1},
    {"EightEndsAnOctalNumber", "08", 8, 0, true, 1},
    {"BlankAfterHexPrefix", "0x 65", 8, 0, true, 1},
    {"NoHexDigitAfterPrefix", "0xg", 8, 0, true, 1},
    {"KeyName", "F2", 10, 0, false, 0},
    {"DoubledEquals", "=0x62", 10, 0, false, 0},
    {"SignWithoutDigits", " -", 10, 2, false, 0},
    {"Empty", "", 10, 0, false, 0},
};

INSTANTIATE_TEST_SUITE_P(Texts, KeyCodeReadingDetails,
                         testing::ValuesIn(kKeyCodeReadingDetailsCases), CaseName());

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
  // Decimal: 98 blanks, then 1, then a 2 that would make it 12.
  const UnterminatedReader decimal{std::string(98, ' ') + "12"};
  EXPECT_EQ(read_key_codes(decimal)[4], 1);
}

}  // namespace
}  // namespace holsterkeys
