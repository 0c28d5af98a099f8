#include <gtest/gtest.h>

#include <string>

#include "bindings/category_names.h"
#include "bindings/profile_edit.h"
#include "bindings/profile_file.h"
#include "tests/case_name.h"
#include "tests/unit/scratch_folder.h"

namespace holsterkeys {
namespace {

using namespace std::string_literals;

// The whole buffer after a read into one filled with '#': the reader, like
// the Windows one, writes the value and its NUL and nothing after them.
std::string whole_buffer_after_read(const std::string& file, const char* key) {
  std::string buffer(kValueSize, '#');
  read_profile_string(file.c_str(), kConfigSection, key, buffer.data(), buffer.size());
  return buffer;
}

std::string buffer_holding(const std::string& value) {
  return (value + '\0').append(kValueSize - value.size() - 1, '#');
}

struct ReaderCase {
  const char* name;
  std::string file;
  const char* key;
  std::string expected;
};

void PrintTo(const ReaderCase& rule, std::ostream* out) { *out << rule.name; }

class ProfileRule : public InScratchFolder, public testing::WithParamInterface<ReaderCase> {};

TEST_P(ProfileRule, ReadsWhatTheWindowsReaderReads) {
  write_file("rule.ini", GetParam().file);
  EXPECT_EQ(whole_buffer_after_read("rule.ini", GetParam().key),
            buffer_holding(GetParam().expected));
}

std::string utf16le(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  }
  return bytes;
}

const ReaderCase kProfileRuleCases[] = {
    {"PlainValue", "[Bindings]\nshotgun=0x33\n", "shotgun", "0x33"},
    {"EmptySectionNameIsNoBindings", "[]\nrifle=6\n", "rifle", ""},
    {"SectionNameWithoutCase", "[bINDINGS]\nrifle=6\n", "rifle", "6"},
    {"KeyWithoutCase", "[Bindings]\nRIFLE=6\n", "rifle", "6"},
    {"BlanksAroundSectionName", "  [ \tBindings  ]  \nrifle=6\n", "rifle", "6"},
    {"BlanksAroundKeyAndValue", "[Bindings]\n \t rifle \t= \t 0x36 \t\n", "rifle", "0x36"},
    {"DoubleQuotesDropped", "[Bindings]\nrifle=\"54\"\n", "rifle", "54"},
    {"SingleQuotesDropped", "[Bindings]\nrifle='54'\n", "rifle", "54"},
    {"BlanksInsideQuotesKept", "[Bindings]\nrifle= \" 54 \" \n", "rifle", " 54 "},
    {"EmptyQuotes", "[Bindings]\nrifle=\"\"\n", "rifle", ""},
    {"MismatchedQuotesKept", "[Bindings]\nrifle='54\"\n", "rifle", "'54\""},
    {"LoneQuoteKept", "[Bindings]\nrifle=\"\n", "rifle", "\""},
    {"OpeningQuoteOnlyKept", "[Bindings]\nrifle=\"54\n", "rifle", "\"54"},
    // Read as entries, these comments would be the keys ";rifle" and "; rifle".
    {"CommentLineSkipped", "[Bindings]\n;rifle=1\nrifle=2\n", ";rifle", ""},
    {"IndentedCommentSkipped", "[Bindings]\n  ; rifle=1\n", "; rifle", ""},
    {"CommentBeforeTheEntry", "[Bindings]\n;rifle=1\nrifle=2\n", "rifle", "2"},
    {"NoInlineComments", "[Bindings]\nrifle=5 ; x\n", "rifle", "5 ; x"},
    {"FirstKeyWins", "[Bindings]\nrifle=1\nrifle=2\n", "rifle", "1"},
    {"OnlyFirstSectionSearched", "[Bindings]\nx=1\n[Bindings]\nrifle=2\n", "rifle", ""},
    {"OtherSectionsIgnored", "[Other]\nrifle=1\n[Bindings]\nrifle=2\n[More]\n", "rifle", "2"},
    {"KeyAfterSectionEndsNotFound", "[Bindings]\n[Other]\nrifle=1\n", "rifle", ""},
    {"LineWithoutEqualsIsNoKey", "[Bindings]\nrifle\nrifle=2\n", "rifle", "2"},
    {"LinesBeforeFirstSectionIgnored", "rifle=1\n[Bindings]\n", "rifle", ""},
    {"EqualsInsideValueKept", "[Bindings]\nrifle=a=b\n", "rifle", "a=b"},
    {"HeaderWithoutCloseIsNoHeader", "[Bindings\nrifle=1\n", "rifle", ""},
    {"TextAfterHeaderIgnored", "[Bindings] remark\nrifle=1\n", "rifle", "1"},
    {"CrLfLines", "[Bindings]\r\nhandguns=1\r\nrifle=2\r\n", "rifle", "2"},
    {"CrLines", "[Bindings]\rhandguns=1\rrifle=2\r", "rifle", "2"},
    {"NoFinalNewline", "[Bindings]\nrifle=2", "rifle", "2"},
    {"Utf16WithByteOrderMark", utf16le(u"[Bindings]\r\nrifle=0x36\r\n"), "rifle", "0x36"},
    // Characters come back in the Western ANSI code page, '?' if it lacks them.
    {"Utf16NarrowedToAnsi", utf16le(u"[Bindings]\nrifle=\u00e9\u20ac\u2122\u4e00\x0080\x009F\n"),
     "rifle", "\xE9\x80\x99???"},
    {"Utf16EveryCharacterOfAnsiHighControls",
     utf16le(u"[Bindings]\nrifle=\u20AC\x0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030"
             u"\u0160\u2039\u0152\x008D\u017D\x008F\x0090\u2018\u2019\u201C\u201D\u2022"
             u"\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\x009D\u017E\u0178\n"),
     "rifle",
     "\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F\x90\x91\x92\x93\x94\x95"
     "\x96\x97\x98\x99\x9A\x9B\x9C\x9D\x9E\x9F"},
    {"Utf8ByteOrderMarkHidesFirstHeader", "\xEF\xBB\xBF[Bindings]\nrifle=6\n", "rifle", ""},
    {"ValueOfNinetyNineKept", "[Bindings]\nrifle=" + std::string(99, '7') + "\n", "rifle",
     std::string(99, '7')},
    {"ValueCutToNinetyNine", "[Bindings]\nrifle=" + std::string(150, '7') + "\n", "rifle",
     std::string(99, '7')},
    {"MissingKey", "[Bindings]\nhandguns=1\n", "rifle", ""},
    {"MissingSection", "[Other]\nrifle=1\n", "rifle", ""},
    {"EmptyFile", "", "rifle", ""},
    {"NulByteEndsValue",
     "[Bindings]\nrifle=8\0"
     "1\n"s,
     "rifle", "8"},
};

INSTANTIATE_TEST_SUITE_P(Files, ProfileRule, testing::ValuesIn(kProfileRuleCases), CaseName());

struct RewriteCase {
  const char* name;
  std::string file;
  const char* category;
  std::string expected;  // the whole file afterwards
};

void PrintTo(const RewriteCase& rewrite, std::ostream* out) { *out << rewrite.name; }

class BindingRewrite : public testing::TestWithParam<RewriteCase> {};

std::string value_in(const std::string& file, const char* name) {
  char value[kValueSize];
  find_profile_string(file, kConfigSection, name, value, sizeof value);
  return value;
}

// The file changes as expected, and the reader itself then finds the new
// code for the category and every other category as it was.
TEST_P(BindingRewrite, ChangesOnlyThatValue) {
  const RewriteCase& rewrite = GetParam();
  const Category& changed = *category_named(rewrite.category);
  const std::string result = with_binding(rewrite.file, changed, "0x46");
  EXPECT_EQ(result, rewrite.expected);
  EXPECT_EQ(parse_key_code(value_in(result, changed.name).c_str()), 0x46);
  for (const Category& category : kCategories) {
    if (&category == &changed) continue;
    EXPECT_EQ(value_in(result, category.name), value_in(rewrite.file, category.name))
        << category.name;
  }
}

const RewriteCase kBindingRewriteCases[] = {
    {"ReplacesTheValue", "[Bindings]\r\nhandguns=0x62\r\nrifle=0x66\r\n", "rifle",
     "[Bindings]\r\nhandguns=0x62\r\nrifle=0x46\r\n"},
    {"KeepsLfLines", "; mine\n[Bindings]\nrifle=6\nshotgun=3\n", "rifle",
     "; mine\n[Bindings]\nrifle=0x46\nshotgun=3\n"},
    {"KeepsMixedLineEnds", "[Bindings]\r\nrifle=6\nshotgun=3\r", "shotgun",
     "[Bindings]\r\nrifle=6\nshotgun=0x46\r"},
    {"KeepsBlanksAndCase", "[bindings]\n  RIFLE = 6  \n", "rifle",
     "[bindings]\n  RIFLE = 0x46  \n"},
    {"ChangesTheEntryTheReaderReads", "[Bindings]\nrifle=1\nrifle=2\n", "rifle",
     "[Bindings]\nrifle=0x46\nrifle=2\n"},
    {"LeavesASecondSectionAlone", "[Bindings]\nhandguns=2\n[Other]\nrifle=9\n[Bindings]\nrifle=7\n",
     "rifle", "[Bindings]\nhandguns=2\nrifle=0x46\n[Other]\nrifle=9\n[Bindings]\nrifle=7\n"},
    {"KeepsARemark", "[Bindings]\nrifle=0x66 ; numpad\n", "rifle",
     "[Bindings]\nrifle=0x46 ; numpad\n"},
    {"KeepsARemarkAfterATab", "[Bindings]\nrifle=0x66\t; numpad\n", "rifle",
     "[Bindings]\nrifle=0x46\t; numpad\n"},
    {"KeepsARemarkAfterASemicolon", "[Bindings]\nrifle=66;numpad\n", "rifle",
     "[Bindings]\nrifle=0x46;numpad\n"},
    {"KeepsAWordAfterABlank", "[Bindings]\nrifle=0x66 numpad\n", "rifle",
     "[Bindings]\nrifle=0x46 numpad\n"},
    {"DropsASecondCode", "[Bindings]\nrifle=0x66 0x32\n", "rifle", "[Bindings]\nrifle=0x46\n"},
    {"DropsASecondCodeAfterAWord", "[Bindings]\nrifle=0x66 or 0x32\n", "rifle",
     "[Bindings]\nrifle=0x46\n"},
    {"DropsTextThatWouldExtendTheNumber", "[Bindings]\nrifle=F6\n", "rifle",
     "[Bindings]\nrifle=0x46\n"},
    {"DropsTextAfterAStrayCharacter", "[Bindings]\nrifle=0x 66 ; x\n", "rifle",
     "[Bindings]\nrifle=0x46\n"},
    {"ReplacesAQuotedValue", "[Bindings]\nrifle=\"0x66\"\n", "rifle", "[Bindings]\nrifle=0x46\n"},
    {"FillsAnEmptyValue", "[Bindings]\nrifle=\r\n", "rifle", "[Bindings]\nrifle=0x46\r\n"},
    {"AddsAnEntryAfterTheSectionsLast", "[Bindings]\r\nhandguns=2\r\n\r\n[Other]\r\nx=1\r\n",
     "rifle", "[Bindings]\r\nhandguns=2\r\nrifle=0x46\r\n\r\n[Other]\r\nx=1\r\n"},
    {"AddsAnEntryUnderABareHeader", "[Bindings]", "rifle", "[Bindings]\r\nrifle=0x46"},
    {"AddsASectionAtTheEnd", "[Other]\nx=1", "rifle", "[Other]\nx=1\n[Bindings]\nrifle=0x46\n"},
    {"AddsASectionAfterCrLfLines", "[Other]\r\nx=1\r\n", "rifle",
     "[Other]\r\nx=1\r\n[Bindings]\r\nrifle=0x46\r\n"},
    {"CreatesTheFileFromNothing", "", "rifle", "[Bindings]\r\nrifle=0x46\r\n"},
    {"KeepsUtf16", utf16le(u"[Bindings]\r\nrifle=6 ; \u00e9\r\n"), "rifle",
     utf16le(u"[Bindings]\r\nrifle=0x46 ; \u00e9\r\n")},
    // Letters that the ANSI code page lacks, or has elsewhere, in a remark.
    {"KeepsARemarkInUtf16ThatAnsiCannotHold",
     utf16le(u"[Bindings]\r\nrifle=6 ; \u20ac \u4e00 \U0001F600\r\n"), "rifle",
     utf16le(u"[Bindings]\r\nrifle=0x46 ; \u20ac \u4e00 \U0001F600\r\n")},
    {"KeepsAQuotedRemarkInUtf16", utf16le(u"[Bindings]\r\nrifle=\"6 ; \u0100\"\r\n"), "rifle",
     utf16le(u"[Bindings]\r\nrifle=\"0x46 ; \u0100\"\r\n")},
    {"AddsToUtf16", utf16le(u"[Bindings]\r\nrifle=6\r\n"), "shotgun",
     utf16le(u"[Bindings]\r\nrifle=6\r\nshotgun=0x46\r\n")},
};

INSTANTIATE_TEST_SUITE_P(Files, BindingRewrite, testing::ValuesIn(kBindingRewriteCases),
                         CaseName());

using ConfigurationPath = InScratchFolder;

TEST_F(ConfigurationPath, MissingFileReadsEmpty) {
  EXPECT_EQ(whole_buffer_after_read("absent.ini", "rifle"), buffer_holding(""));
}

// The module's path names the current folder with a Windows separator.
TEST_F(ConfigurationPath, DotBackslashIsTheCurrentFolder) {
  write_file("holsterkeys.ini", "[Bindings]\nrifle=0x36\n");
  ValueText value;
  ProfileFile(kConfigPath).read_value("rifle", value);
  EXPECT_STREQ(value, "0x36");
}

// Every read goes to the file again, so an edit shows at the next read.
TEST_F(ConfigurationPath, EditShowsAtNextRead) {
  const ProfileFile file;
  write_file("holsterkeys.ini", "[Bindings]\nshotgun=0x33\n");
  EXPECT_EQ(read_key_codes(file)[3], 0x33);
  write_file("holsterkeys.ini", "[Bindings]\nshotgun=0x34\n");
  EXPECT_EQ(read_key_codes(file)[3], 0x34);
}

TEST_F(ConfigurationPath, EveryRowReadsItsOwnKey) {
  write_file("holsterkeys.ini",
             "[Bindings]\nrifle=6\nshotgun=3\nsubmachine=4\nmachineguns=5\nhandguns=2\n");
  const ProfileFile file;
  EXPECT_EQ(read_key_codes(file), (KeyCodes{2, 5, 4, 3, 6}));
}

}  // namespace
}  // namespace holsterkeys
