#include <gtest/gtest.h>

#include <string>

#include "bindings/profile_file.h"
#include "tests/unit/scratch_folder.h"

namespace holsterkeys {
namespace {

using namespace std::string_literals;

std::string read(const std::string& file, const char* section, const char* key) {
  char value[kValueSize];
  read_profile_string(file.c_str(), section, key, value, sizeof value);
  return value;
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
  EXPECT_EQ(read("rule.ini", "Bindings", GetParam().key), GetParam().expected);
}

std::string utf16le(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  }
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, ProfileRule,
    testing::Values(
        ReaderCase{"PlainValue", "[Bindings]\nshotgun=0x33\n", "shotgun", "0x33"},
        ReaderCase{"SectionNameWithoutCase", "[bINDINGS]\nrifle=6\n", "rifle", "6"},
        ReaderCase{"KeyWithoutCase", "[Bindings]\nRIFLE=6\n", "rifle", "6"},
        ReaderCase{"BlanksAroundSectionName", "  [ \tBindings  ]  \nrifle=6\n", "rifle", "6"},
        ReaderCase{"BlanksAroundKeyAndValue", "[Bindings]\n \t rifle \t= \t 0x36 \t\n", "rifle",
                   "0x36"},
        ReaderCase{"DoubleQuotesDropped", "[Bindings]\nrifle=\"54\"\n", "rifle", "54"},
        ReaderCase{"SingleQuotesDropped", "[Bindings]\nrifle='54'\n", "rifle", "54"},
        ReaderCase{"BlanksInsideQuotesKept", "[Bindings]\nrifle= \" 54 \" \n", "rifle", " 54 "},
        ReaderCase{"EmptyQuotes", "[Bindings]\nrifle=\"\"\n", "rifle", ""},
        ReaderCase{"MismatchedQuotesKept", "[Bindings]\nrifle='54\"\n", "rifle", "'54\""},
        ReaderCase{"LoneQuoteKept", "[Bindings]\nrifle=\"\n", "rifle", "\""},
        ReaderCase{"OpeningQuoteOnlyKept", "[Bindings]\nrifle=\"54\n", "rifle", "\"54"},
        ReaderCase{"CommentLineSkipped", "[Bindings]\n;rifle=1\nrifle=2\n", "rifle", "2"},
        ReaderCase{"IndentedCommentSkipped", "[Bindings]\n  ; rifle=1\n", "rifle", ""},
        ReaderCase{"NoInlineComments", "[Bindings]\nrifle=5 ; x\n", "rifle", "5 ; x"},
        ReaderCase{"FirstKeyWins", "[Bindings]\nrifle=1\nrifle=2\n", "rifle", "1"},
        ReaderCase{"OnlyFirstSectionSearched", "[Bindings]\nx=1\n[Bindings]\nrifle=2\n", "rifle",
                   ""},
        ReaderCase{"OtherSectionsIgnored", "[Other]\nrifle=1\n[Bindings]\nrifle=2\n[More]\n",
                   "rifle", "2"},
        ReaderCase{"KeyAfterSectionEndsNotFound", "[Bindings]\n[Other]\nrifle=1\n", "rifle", ""},
        ReaderCase{"LineWithoutEqualsIsNoKey", "[Bindings]\nrifle\nrifle=2\n", "rifle", "2"},
        ReaderCase{"LinesBeforeFirstSectionIgnored", "rifle=1\n[Bindings]\n", "rifle", ""},
        ReaderCase{"EqualsInsideValueKept", "[Bindings]\nrifle=a=b\n", "rifle", "a=b"},
        ReaderCase{"HeaderWithoutCloseIsNoHeader", "[Bindings\nrifle=1\n", "rifle", ""},
        ReaderCase{"TextAfterHeaderIgnored", "[Bindings] remark\nrifle=1\n", "rifle", "1"},
        ReaderCase{"CrLfLines", "[Bindings]\r\nhandguns=1\r\nrifle=2\r\n", "rifle", "2"},
        ReaderCase{"CrLines", "[Bindings]\rhandguns=1\rrifle=2\r", "rifle", "2"},
        ReaderCase{"NoFinalNewline", "[Bindings]\nrifle=2", "rifle", "2"},
        ReaderCase{"Utf16WithByteOrderMark", utf16le(u"[Bindings]\r\nrifle=0x36\r\n"), "rifle",
                   "0x36"},
        // Characters come back in the Western ANSI code page, '?' if it lacks them.
        ReaderCase{"Utf16NarrowedToAnsi", utf16le(u"[Bindings]\nrifle=\u00e9\u20ac\u2122\u4e00\n"),
                   "rifle", "\xE9\x80\x99?"},
        ReaderCase{"Utf8ByteOrderMarkHidesFirstHeader", "\xEF\xBB\xBF[Bindings]\nrifle=6\n",
                   "rifle", ""},
        ReaderCase{"ValueOfNinetyNineKept", "[Bindings]\nrifle=" + std::string(99, '7') + "\n",
                   "rifle", std::string(99, '7')},
        ReaderCase{"ValueCutToNinetyNine", "[Bindings]\nrifle=" + std::string(150, '7') + "\n",
                   "rifle", std::string(99, '7')},
        ReaderCase{"MissingKey", "[Bindings]\nhandguns=1\n", "rifle", ""},
        ReaderCase{"MissingSection", "[Other]\nrifle=1\n", "rifle", ""},
        ReaderCase{"EmptyFile", "", "rifle", ""},
        ReaderCase{"NulByteEndsValue", "[Bindings]\nrifle=8\0" "1\n"s, "rifle",
                   "8"}),
    [](const testing::TestParamInfo<ReaderCase>& info) { return info.param.name; });

using ConfigurationPath = InScratchFolder;

TEST_F(ConfigurationPath, MissingFileReadsEmpty) {
  EXPECT_EQ(read("absent.ini", "Bindings", "rifle"), "");
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
