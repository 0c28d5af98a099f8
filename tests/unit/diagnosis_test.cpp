#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <string>
#include <utility>
#include <vector>

#include "advice/config_file.h"
#include "advice/diagnosis.h"
#include "advice/finding_text.h"
#include "advice/loose_names.h"
#include "advice/visible_text.h"
#include "bindings/category_names.h"
#include "bindings/profile_file.h"
#include "keys/key_names.h"
#include "tests/advice_holds.h"
#include "tests/case_name.h"
#include "tests/unit/scratch_folder.h"
#include "tests/whole_text.h"
#include "text/say.h"

namespace holsterkeys {
namespace {

constexpr char kAllBound[] =
    "[Bindings]\nhandguns=0x62\nmachineguns=0x65\nsubmachine=0x64\nshotgun=0x63\nrifle=0x66\n";

// The clean file with one line changed: handguns' value, or a line added.
std::string handguns_as(const std::string& value) {
  return std::string(kAllBound).replace(11, 13, "handguns=" + value);
}
std::string with_line(const std::string& line) { return kAllBound + line + "\n"; }

std::string utf16be(const std::string& ascii) {
  std::string bytes = "\xFE\xFF";
  for (char c : ascii) bytes += {'\0', c};
  return bytes;
}

std::string utf16le_without_mark(const std::string& ascii) {
  std::string bytes;
  for (char c : ascii) bytes += {c, '\0'};
  return bytes;
}

// The fixture with other keys in some rows.
std::string bound_as(const char* handguns, const char* machineguns, const char* submachine,
                     const char* shotgun, const char* rifle) {
  return std::string("[Bindings]\nhandguns=") + handguns + "\nmachineguns=" + machineguns +
         "\nsubmachine=" + submachine + "\nshotgun=" + shotgun + "\nrifle=" + rifle + "\n";
}

// What the checker says of a file, in the order found: the kind of each
// finding and note, the category it is about, and the lines it proposes.
struct Said {
  FindingKind kind;
  const char* category = nullptr;
  std::vector<std::string> proposals = {};
};
using F = FindingKind;

struct DiagnosisCase {
  const char* name;
  std::string file;
  std::vector<Said> said;
  const char* file_name = "holsterkeys.ini";
  const char* checked = nullptr;  // the file checked, when not the one written
};

void PrintTo(const DiagnosisCase& diagnosis, std::ostream* out) { *out << diagnosis.name; }

class Diagnosis : public InScratchFolder, public testing::WithParamInterface<DiagnosisCase> {};

bool operator==(const Said& a, const Said& b) {
  return a.kind == b.kind &&
         std::string(a.category ? a.category : "") == std::string(b.category ? b.category : "") &&
         a.proposals == b.proposals;
}
void PrintTo(const Said& said, std::ostream* out) {
  *out << "{kind " << static_cast<int>(said.kind) << ", " << (said.category ? said.category : "-");
  for (const std::string& proposal : said.proposals) *out << ", " << proposal;
  *out << "}";
}

// What the diagnosis says, as the tables write it. The fixture's keys are
// on the numpad, so nearly every case carries the Num Lock note; the rows
// that expect it check it.
std::vector<Said> said_of(const holsterkeys::Diagnosis& diagnosis,
                          const std::vector<Said>& expected) {
  const bool num_lock = std::any_of(expected.begin(), expected.end(),
                                    [](const Said& said) { return said.kind == F::kOnNumpad; });
  std::vector<Said> said;
  for (const Finding& finding : diagnosis.found) {
    if (finding.kind == F::kOnNumpad && !num_lock) continue;
    Said one{finding.kind, finding.category ? finding.category->name : nullptr};
    for (const Proposal& proposal : finding.proposals)
      one.proposals.push_back(entry_text(proposal));
    said.push_back(one);
  }
  return said;
}

// Every sentence is whole text, whatever bytes the file holds.
void expect_printable(const holsterkeys::Diagnosis& diagnosis) {
  for (const Finding& finding : diagnosis.found) {
    const std::string sentence = text_of(finding);
    EXPECT_FALSE(sentence.empty()) << static_cast<int>(finding.kind);
    EXPECT_TRUE(is_whole_text(sentence)) << testing::PrintToString(sentence);
  }
}

// The file of a row, written into the current folder, as the checker finds it.
struct Checked {
  ConfigFile file;
  BindingReadings readings;
};
Checked check_row(const DiagnosisCase& row) {
  InScratchFolder::write_file(row.file_name, row.file);
  const char* checked = row.checked ? row.checked : row.file_name;
  const ProfileFile reader(checked);
  return {inspect_config(full_path(checked)), read_bindings(reader)};
}

// The findings or the notes, in words.
std::vector<std::string> said(const holsterkeys::Diagnosis& diagnosis, bool notes) {
  std::vector<std::string> texts;
  for (const Finding& finding : diagnosis.found) {
    if (is_note(finding.kind) == notes) texts.push_back(text_of(finding));
  }
  return texts;
}

TEST_P(Diagnosis, FindsWhatKeepsBindingsFromWorking) {
  const auto [file, readings] = check_row(GetParam());
  const auto diagnosis = diagnose(file, readings);
  EXPECT_EQ(said_of(diagnosis, GetParam().said), GetParam().said);
  EXPECT_EQ(failed_proposals(file, diagnosis), std::vector<std::string>{});
  EXPECT_EQ(false_selection_claims(readings, diagnosis), std::vector<std::string>{});
  expect_printable(diagnosis);
}

const DiagnosisCase kDiagnosisCases[] = {
    {"AllFiveBoundIsClean", kAllBound, {}},
    {"RemarkAfterNumberIsClean", handguns_as("0x62 ; numpad 2"), {}},
    {"OtherSectionsAreNotRead", with_line("[Other]\nrifle=F2\nhandgun=1"), {}},
    {"UnboundCategory",
     "[Bindings]\nhandguns=0x62\nmachineguns=0x65\nsubmachine=0x64\nrifle=0x66\n",
     {{F::kNotBound, "shotgun", {"shotgun=0x63"}}}},
    {"EmptyValueIsUnboundOnPurpose",
     "[Bindings]\nhandguns=0x62\nmachineguns=0x65\nsubmachine=0x64\nshotgun=0x63\nrifle=\n",
     {{F::kUnboundOnPurpose, "rifle", {"rifle=0x66"}}}},
    {"KeyNameSuggestsItsCode", handguns_as("F2"), {{F::kKeyName, "handguns", {"handguns=0x71"}}}},
    {"LetterSuggestsItsCode", handguns_as("a"), {{F::kKeyName, "handguns", {"handguns=0x41"}}}},
    {"GarbageIsNoNumber", handguns_as("??"), {{F::kStopsBeforeNumber, "handguns"}}},
    {"ZeroIsOff", handguns_as("0x0"), {{F::kOffOnPurpose, "handguns"}}},
    {"NegativeIsNoKey", handguns_as("-5"), {{F::kNoSuchKey, "handguns"}}},
    {"AboveRangeIsNoKey", handguns_as("300"), {{F::kNoSuchKey, "handguns"}}},
    {"UnassignedCodeIsNoKey", handguns_as("0x3A"), {{F::kNoSuchKey, "handguns"}}},
    {"OctalTrap", handguns_as("010"), {{F::kOctal, "handguns"}}},
    {"EightEndsAnOctalNumber", handguns_as("08"), {{F::kOctal, "handguns"}}},
    {"NineEndsAnOctalNumber", handguns_as("09"), {{F::kOctal, "handguns"}}},
    {"OctalWithEveryDigit", handguns_as("0142"), {{F::kOctal, "handguns"}}},
    {"LoneZeroIsOff", handguns_as("0"), {{F::kOffOnPurpose, "handguns", {"handguns=0x30"}}}},
    {"LoneDigitsAreNotTheirSlots",
     "[Bindings]\nhandguns=2\nmachineguns=5\nsubmachine=4\nshotgun=3\nrifle=6\n",
     {{F::kLoneDigit, "handguns", {"handguns=0x32"}},
      {F::kLoneDigit, "machineguns", {"machineguns=0x35", "machineguns=0x05"}},
      {F::kLoneDigit, "submachine", {"submachine=0x34", "submachine=0x04"}},
      {F::kLoneDigit, "shotgun", {"shotgun=0x33"}},
      {F::kLoneDigit, "rifle", {"rifle=0x36", "rifle=0x06"}}}},
    {"FireButtonHoweverWritten",
     handguns_as("0x01"),
     {{F::kFiresOrAims, "handguns", {"handguns=0x62"}}}},
    {"AimButtonHoweverWritten",
     handguns_as("+2 ; aim"),
     {{F::kFiresOrAims, "handguns", {"handguns=0x62"}}}},
    {"ExtraMouseButtonsWrittenPlainlyAreClean",
     "[Bindings]\nhandguns=0x62\nmachineguns=0x05\nsubmachine=0x04\nshotgun=0x63\nrifle=0x06\n",
     {}},
    {"QuoteBeforeTheNumber",
     handguns_as("\"0x67'"),
     {{F::kStopsBeforeNumber, "handguns", {"handguns=0x67"}}}},
    {"DoubledEquals", handguns_as("=0x62"), {{F::kStopsBeforeNumber, "handguns"}}},
    {"BlankInsideTheNumber",
     handguns_as("0x 67"),
     {{F::kStopsAfterPrefix, "handguns", {"handguns=0x67"}}}},
    // The line it would advise puts handguns on machineguns' key.
    {"BlankInsideAnotherCategorysCode", handguns_as("0x 65"), {{F::kStopsAfterPrefix, "handguns"}}},
    {"SharedKeyNamesTheWinner", handguns_as("0x66"), {{F::kSharedKey}}},
    {"MisspelledKey", with_line("handgun=0x31"), {{F::kMisnamedCategory, "handguns"}}},
    {"SingularMachinegun", with_line("machinegun=0x31"), {{F::kMisnamedCategory, "machineguns"}}},
    {"UnderscoredSubmachine",
     with_line("sub_machine=0x31"),
     {{F::kMisnamedCategory, "submachine"}}},
    // Without its blank or tab, the name holds "submachine" from its start.
    {"BlankInSubmachineguns",
     with_line("sub machineguns=0x31"),
     {{F::kMisnamedCategory, "submachine"}}},
    {"TabInSubmachineguns",
     with_line("sub\tmachineguns=0x31"),
     {{F::kMisnamedCategory, "submachine"}}},
    {"PluralSubmachineguns",
     with_line("submachineguns=0x31"),
     {{F::kMisnamedCategory, "submachine"}}},
    {"PluralShotguns", with_line("shotguns=0x31"), {{F::kMisnamedCategory, "shotgun"}}},
    {"PluralRifles", with_line("rifles=0x31"), {{F::kMisnamedCategory, "rifle"}}},
    {"NothingClose", with_line("knife=0x31"), {{F::kUnknownName}}},
    // Other games' names: one category each, or the five with their slots.
    {"OtherGamesPistol",
     std::string(kAllBound).replace(11, 13, "pistol=0x37"),
     {{F::kMisnamedCategory, "handguns", {"handguns=0x37"}}, {F::kNotBoundGivenAbove, "handguns"}}},
    {"OtherGamesSmg",
     "[Bindings]\nhandguns=0x62\nmachineguns=0x65\nSMGs=0x37\nshotgun=0x63\nrifle=0x66\n",
     {{F::kMisnamedCategory, "submachine", {"submachine=0x37"}},
      {F::kNotBoundGivenAbove, "submachine"}}},
    {"OtherGamesSniperRifle",
     "[Bindings]\nhandguns=0x62\nmachineguns=0x65\nsubmachine=0x64\nshotgun=0x63\n"
     "Sniper Rifles=0x37\n",
     {{F::kMisnamedCategory, "rifle", {"rifle=0x37"}}, {F::kNotBoundGivenAbove, "rifle"}}},
    {"OtherGamesSlotName", with_line("Slot3=0x37"), {{F::kUnknownWeaponName}}},
    {"OtherGamesSlotNumber", with_line("weapon2=0x37"), {{F::kUnknownWeaponName}}},
    {"HashCommentIsANote",
     with_line("# my keys\n#handguns=0x31"),
     {{F::kOtherCommentAsLine}, {F::kOtherCommentAsEntry}}},
    {"RepeatedKey", with_line("rifle=0x31"), {{F::kSecondEntry, "rifle"}}},
    {"LineWithoutEquals", with_line("rifle 0x31"), {{F::kNoEquals, "rifle"}}},
    {"LineWithoutEqualsCarriesItsCode",
     "[Bindings]\nhandguns=0x62\nmachineguns=0x65\nsubmachine=0x64\nshotgun=0x63\nrifle 0x31\n",
     {{F::kNoEquals, "rifle", {"rifle=0x31"}}, {F::kNotBoundGivenAbove, "rifle"}}},
    {"SecondSection", with_line("[bindings]\nrifle=0x31"), {{F::kSecondSectionOverruled}}},
    // Moving it under the first would change nothing the module reads.
    {"SecondSectionThatChangesNothing",
     with_line("[Bindings]\nrifle=0x66\n; more"),
     {{F::kSecondSectionAlike}}},
    {"SecondSectionWithAnUnsetCategory",
     "[Bindings]\nhandguns=0x62\n[Other]\nx=1\n[Bindings]\nrifle=0x66\n",
     {{F::kSecondSectionMerge},
      {F::kNotBound, "machineguns", {"machineguns=0x65"}},
      {F::kNotBound, "submachine", {"submachine=0x64"}},
      {F::kNotBound, "shotgun", {"shotgun=0x63"}},
      {F::kNotBound, "rifle", {"rifle=0x66"}}}},
    {"Utf8ByteOrderMarkHidesSection",
     "\xEF\xBB\xBF" + std::string(kAllBound),
     {{F::kUtf8MarkHidesFirstLine},
      {F::kNotReadForEncoding, "handguns"},
      {F::kNotReadForEncoding, "machineguns"},
      {F::kNotReadForEncoding, "submachine"},
      {F::kNotReadForEncoding, "shotgun"},
      {F::kNotReadForEncoding, "rifle"}}},
    {"Utf8ByteOrderMarkBeforeACommentIsHarmless",
     "\xEF\xBB\xBF; my keys\n" + std::string(kAllBound),
     {}},
    {"MarkBeforeACommentAndTwoSections",
     "\xEF\xBB\xBF; my keys\n" + std::string(kAllBound) + "[Bindings]\nrifle=0x31\n",
     {{F::kSecondSectionOverruled}}},
    {"Utf16BigEndianIsReadByWineAlone",
     utf16be(kAllBound),
     {{F::kUtf16BigEndian},
      {F::kNotReadForEncoding, "handguns"},
      {F::kNotReadForEncoding, "machineguns"},
      {F::kNotReadForEncoding, "submachine"},
      {F::kNotReadForEncoding, "shotgun"},
      {F::kNotReadForEncoding, "rifle"}}},
    // Where a header would change nothing the module reads, none is advised.
    {"NoSectionAndNothingToPutUnderOne",
     "[Binding]\n; my keys\n",
     {{F::kNoSection},
      {F::kNotBound, "handguns", {"handguns=0x62"}},
      {F::kNotBound, "machineguns", {"machineguns=0x65"}},
      {F::kNotBound, "submachine", {"submachine=0x64"}},
      {F::kNotBound, "shotgun", {"shotgun=0x63"}},
      {F::kNotBound, "rifle", {"rifle=0x66"}}}},
    {"SectionMisspelled",
     "[Binding]\nrifle=0x66\n",
     {{F::kNoSectionHeaderHelps},
      {F::kNotBound, "handguns", {"handguns=0x62"}},
      {F::kNotBound, "machineguns", {"machineguns=0x65"}},
      {F::kNotBound, "submachine", {"submachine=0x64"}},
      {F::kNotBound, "shotgun", {"shotgun=0x63"}},
      {F::kNotBound, "rifle", {"rifle=0x66"}}}},
    {"OtherFileNameIsANote", kAllBound, {{F::kOtherFileName}}, "keys.ini"},

    // One press sets the codes of a sided and of the generic modifier.
    {"LeftShiftUnderShiftNeverWins",
     bound_as("0xA0", "0x65", "0x64", "0x63", "0x10"),
     {{F::kNeverSelected, "handguns", {"handguns=0x62"}}}},
    {"ExampleSkipsATakenNumpadDigit",
     bound_as("0xA0", "0x62", "0x64", "0x63", "0x10"),
     {{F::kNeverSelected, "handguns", {"handguns=0x61"}}}},
    {"AltUnderBothSidesNeverWins",
     bound_as("0x12", "0xA4", "0xA5", "0x63", "0x66"),
     {{F::kNeverSelected, "handguns", {"handguns=0x62"}}, {F::kOnAlt}}},
    {"CtrlWinsOnlyOnTheOtherSide",
     bound_as("0x11", "0x65", "0x64", "0x63", "0xA2"),
     {{F::kSelectedOnlyBy, "handguns", {"handguns=0x62"}}}},
    {"SharedGenericModifierNamesTheWinner",
     bound_as("0x10", "0x65", "0x64", "0x63", "0x10"),
     {{F::kSharedKey}}},
    // Three categories over a generic code and a sided one: every press of
    // a Shift fires both rows on Shift, and Left Shift also fires rifle.
    {"SharedShiftLosesLeftShiftToASidedRow",
     bound_as("0x10", "0x10", "0x64", "0x63", "0xA0"),
     {{F::kSharedKeySomePresses},
      {F::kNeverSelected, "handguns", {"handguns=0x62"}},
      {F::kSelectedOnlyBy, "machineguns", {"machineguns=0x65"}}}},
    {"SharedShiftLosesBothSidesToSidedRows",
     bound_as("0x10", "0x10", "0x64", "0xA1", "0xA0"),
     {{F::kSharedKeyNoPress},
      {F::kNeverSelected, "handguns", {"handguns=0x62"}},
      {F::kNeverSelected, "machineguns", {"machineguns=0x65"}}}},
    // The later row on the generic code outranks the sided one.
    {"SharedShiftOutranksAnEarlierSidedRow",
     bound_as("0xA0", "0x10", "0x64", "0x63", "0x10"),
     {{F::kSharedKey}, {F::kNeverSelected, "handguns", {"handguns=0x62"}}}},
    {"ThreeOnOneKeyNamesTheLast",
     bound_as("0x66", "0x65", "0x66", "0x63", "0x66"),
     {{F::kSharedKey}}},
    {"EveryNumpadDigitIsAKey", bound_as("0x60", "0x61", "0x67", "0x68", "0x69"), {}},
    {"EveryNumpadOperatorIsAKey", bound_as("0x6A", "0x6B", "0x6D", "0x6E", "0x6F"), {}},
    {"NumpadNeedsNumLock", kAllBound, {{F::kOnNumpad}}},
    {"NumpadEndsNeedNumLock", bound_as("0x60", "0x41", "0x6E", "0x6A", "0x69"), {{F::kOnNumpad}}},
    {"EitherWindowsKeyOpensStart",
     bound_as("0x5B", "0x65", "0x64", "0x63", "0x5C"),
     {{F::kOnWindowsKey}}},
    {"WindowsKeyOpensStart", handguns_as("0x5B"), {{F::kOnWindowsKey}}},

    // One category takes one key.
    {"CtrlPlusKeyBindsCtrl",
     handguns_as("0x11+0x32"),
     {{F::kMoreThanOneKey, "handguns", {"handguns=0x11", "handguns=0x32"}}}},
    {"CommaBetweenTwoCodes",
     handguns_as("0x62,0x32"),
     {{F::kMoreThanOneKey, "handguns", {"handguns=0x62", "handguns=0x32"}}}},
    {"SlashBetweenTwoCodes",
     handguns_as("0x62 / 0x32"),
     {{F::kMoreThanOneKey, "handguns", {"handguns=0x62", "handguns=0x32"}}}},
    {"BarBetweenTwoCodes",
     handguns_as("0x62|0x32"),
     {{F::kMoreThanOneKey, "handguns", {"handguns=0x62", "handguns=0x32"}}}},
    {"BlankBetweenTwoCodes",
     handguns_as("0x62 0x32"),
     {{F::kMoreThanOneKey, "handguns", {"handguns=0x62", "handguns=0x32"}}}},
    {"OrBetweenTwoCodes",
     handguns_as("0x62 or 0x32"),
     {{F::kMoreThanOneKey, "handguns", {"handguns=0x62", "handguns=0x32"}}}},
    {"NamedCombination",
     handguns_as("Ctrl+1"),
     {{F::kMoreThanOneKey, "handguns", {"handguns=0x11", "handguns=0x31"}}}},
    {"RemarkWithAWordIsClean", handguns_as("0x62 numpad 2"), {}},

    // Advice that works when followed literally.
    {"MisspeltNameWithAKeyName",
     bound_as("0x62", "0x65", "0x64", "0x63", "0x66").replace(11, 13, "handgun=F2"),
     {{F::kMisnamedCategory, "handguns", {"handguns=0x71 ; F2"}},
      {F::kNotBoundGivenAbove, "handguns"}}},
    {"MisspeltNameWithoutAValue",
     std::string(kAllBound).replace(11, 13, "handgun="),
     {{F::kMisnamedCategory, "handguns"}, {F::kNotBound, "handguns", {"handguns=0x62"}}}},
    {"MisspeltNameWithAByteAfterItsCode",
     bound_as("0x62", "0x65", "0x64", "0x63", "0x66").replace(71, 10, "rifles=0x66\xFF"),
     {{F::kMisnamedCategory, "rifle", {"rifle=0x66"}}, {F::kNotBoundGivenAbove, "rifle"}}},
    {"HashHex", handguns_as("#67"), {{F::kOtherHexNotation, "handguns", {"handguns=0x67"}}}},
    // Rifle on Shift would take every Left Shift press from handguns.
    {"HashHexThatWouldShadowAnotherCategory",
     bound_as("0xA0", "0x65", "0x64", "0x63", "#10"),
     {{F::kOtherHexNotation, "rifle"}}},
    {"PeriodKeyOnEveryLayout",
     handguns_as("."),
     {{F::kTypedCharacter, "handguns", {"handguns=0xBE"}}}},
    {"CommaKeyOnEveryLayout",
     handguns_as(","),
     {{F::kTypedCharacter, "handguns", {"handguns=0xBC"}}}},
    {"DashIsOff", handguns_as("-"), {{F::kOffOnPurpose, "handguns"}}},
    // Once the curly quotes are gone, 062 could be octal 50 or decimal 62.
    {"CurlyQuotesAroundALeadingZero",
     handguns_as("\xE2\x80\x9C"
                 "062"
                 "\xE2\x80\x9D"),
     {{F::kStopsBeforeNumber, "handguns"}}},
    // "0 62" could be octal or decimal once the blank is gone: no line.
    {"BlankAfterALeadingZero", handguns_as("0 62"), {{F::kNoSuchKey, "handguns"}}},
    {"HashHexOnAnotherCategorysKey", handguns_as("#66"), {{F::kOtherHexNotation, "handguns"}}},
    {"TrailingHHex", handguns_as("62h"), {{F::kOtherHexNotation, "handguns", {"handguns=0x62"}}}},
    {"BasicHex", handguns_as("&H68"), {{F::kOtherHexNotation, "handguns", {"handguns=0x68"}}}},
    {"DollarHex", handguns_as("$69"), {{F::kOtherHexNotation, "handguns", {"handguns=0x69"}}}},
    {"PrefixedAndTrailingHHexReadsAsMeant", handguns_as("0x41h"), {}},
    {"VirtualKeyName", handguns_as("VK_PRIOR"), {{F::kKeyName, "handguns", {"handguns=0x21"}}}},
    {"GermanKeyLabel", handguns_as("Einfg"), {{F::kKeyName, "handguns", {"handguns=0x2D"}}}},
    // A character a key types: its code where every layout gives it one,
    // else where to find it.
    {"PlusKeyOnEveryLayout",
     handguns_as("+"),
     {{F::kTypedCharacter, "handguns", {"handguns=0xBB"}}}},
    {"UmlautDependsOnTheLayout",
     handguns_as("\xC3\xB6"),
     {{F::kTypedCharacterOfLayout, "handguns"}}},
    {"AnsiLetterDependsOnTheLayout",
     handguns_as("\xE7"),
     {{F::kTypedCharacterOfLayout, "handguns"}}},
    {"CyrillicLetterDependsOnTheLayout",
     handguns_as("\xD0\xA4"),
     {{F::kTypedCharacterOfLayout, "handguns"}}},
    {"LessThanDependsOnTheLayout", handguns_as("<"), {{F::kTypedCharacterOfLayout, "handguns"}}},
    // A look-alike letter of another script is not dropped to read the rest
    // in another base: "0\xD1\x8562" (a Cyrillic ha) gives no line to write.
    {"CyrillicLetterInAHexNumber",
     handguns_as("0\xD1\x85"
                 "62"),
     {{F::kLookAlikeInHex, "handguns", {"handguns=0x62"}}}},
    {"WebKeyCode", handguns_as("Digit7"), {{F::kKeyName, "handguns", {"handguns=0x37"}}}},
    {"RowOfAKeyCodeTable",
     handguns_as("VK_F7\t0x76\tF7 key"),
     {{F::kKeyName, "handguns", {"handguns=0x76"}}}},
    // A row whose cells name two keys gives no line.
    {"RowOfTwoKeys", handguns_as("VK_F7\t0x75"), {{F::kUnknownKeyName, "handguns"}}},
    {"KeysymName", handguns_as("KP_Multiply"), {{F::kKeyName, "handguns", {"handguns=0x6A"}}}},
    {"QuotedKeyName", handguns_as("\"NUMPAD1\""), {{F::kKeyName, "handguns", {"handguns=0x61"}}}},
    {"GamerMouseName", handguns_as("Mouse 4"), {{F::kKeyName, "handguns", {"handguns=0x05"}}}},
    {"FireButtonByName",
     handguns_as("Mouse1"),
     {{F::kKeyNameFiresOrAims, "handguns", {"handguns=0x62"}}}},
    {"UnknownNameGivesNoExample", handguns_as("Banana"), {{F::kUnknownKeyName, "handguns"}}},
    {"MouseWheel", handguns_as("MWheelUp"), {{F::kMouseWheel, "handguns", {"handguns=0x62"}}}},
    {"ZeroMeantAsOff", handguns_as("-0"), {{F::kOffOnPurpose, "handguns"}}},
    {"ValueCutAt99", handguns_as("0x62 ;" + std::string(120, 'x')), {{F::kLongValue, "handguns"}}},
    {"NearMissName", kAllBound, {{F::kFileNamedNearly}}, "holsterkey.ini", "holsterkeys.ini"},
    {"NearMissTwoLettersApart",
     kAllBound,
     {{F::kFileNamedNearly}},
     "hostlerkeys.ini",
     "holsterkeys.ini"},
    {"NoNearMissThreeLettersApart",
     kAllBound,
     {{F::kNoFile}},
     "hostlerkeys.inf",
     "holsterkeys.ini"},
#ifndef _WIN32
    {"NameWithABlankAtItsEnd",
     kAllBound,
     {{F::kFileNameEndsWithBlank}},
     "holsterkeys.ini ",
     "holsterkeys.ini"},
#endif
    {"MarkBeforeTwoSections",
     "\xEF\xBB\xBF[Bindings]\nhandguns=0x62\n[Bindings]\nrifle=0x66\n",
     {{F::kUtf8MarkHidesFirstLine},
      {F::kSecondSectionHidden},
      {F::kNotReadForEncoding, "handguns"},
      {F::kNotBound, "machineguns"},
      {F::kNotBound, "submachine"},
      {F::kNotBound, "shotgun"}}},

    // Files that work in the module give no finding.
    {"CommentsInOtherStyles",
     with_line("// my keys\n-- keys\nREM keys\n====\n----"),
     {{F::kOtherCommentAsLine}, {F::kOtherCommentAsLine}, {F::kOtherCommentAsLine}}},
    {"RemAloneAndBeforeATab",
     with_line("REM\nrem\tkeys\nRemington 700"),
     {{F::kOtherCommentAsLine}, {F::kOtherCommentAsLine}, {F::kNoEqualsRemark}}},
    {"SettingOfAnotherProgram", with_line("Enabled=1"), {{F::kUnknownName}}},
    {"CtrlZAtTheEnd", kAllBound + std::string("\x1A"), {}},
    {"NulBytesAfterACrash", kAllBound + std::string(512, '\0'), {}},
    {"BrazilianKeys", bound_as("0xC1", "0xC2", "0x64", "0x63", "0x66"), {}},
    {"LineWithoutEqualsNamingACategory", with_line("handguns 0x62"), {{F::kNoEquals, "handguns"}}},

    // Octal and decimal read 00 to 07 alike: the code itself is wrong.
    {"ZeroPaddedDigitIsTheCodeItself",
     bound_as("0x62", "0x65", "0x64", "0x63", "06"),
     {{F::kLoneDigit, "rifle", {"rifle=0x36", "rifle=0x06"}}}},
    {"ZeroPaddedMiddleButton",
     bound_as("0x62", "0x65", "004", "0x63", "0x66"),
     {{F::kLoneDigit, "submachine", {"submachine=0x34", "submachine=0x04"}}}},
    {"ZeroPaddedCodeOfNoKey",
     bound_as("0x62", "0x65", "0x64", "07", "0x66"),
     {{F::kLoneDigit, "shotgun", {"shotgun=0x37"}}}},

    // Values that mean off, and are off.
    {"NoneIsOff", handguns_as("none"), {{F::kOffOnPurpose, "handguns"}}},
    {"OffWithARemarkIsOff", handguns_as("Off ; not used"), {{F::kOffOnPurpose, "handguns"}}},
    {"DisabledIsOff", handguns_as("disabled"), {{F::kOffOnPurpose, "handguns"}}},

    // Lines in another program's syntax carry the player's own key.
    {"ArrowBetweenNameAndCode",
     bound_as("0x62", "0x65", "0x64", "0x63", "0x66").replace(11, 13, "handguns -> 0x37"),
     {{F::kNoEquals, "handguns", {"handguns=0x37"}}, {F::kNotBoundGivenAbove, "handguns"}}},
    {"JsonMemberInTheSection",
     bound_as("0x62", "0x65", "0x64", "0x63", "0x66").replace(11, 13, "\"handguns\": \"0x37\","),
     {{F::kNoEquals, "handguns", {"handguns=0x37"}}, {F::kNotBoundGivenAbove, "handguns"}}},
    {"SpreadsheetCellsInTheSection",
     bound_as("0x62", "0x65", "0x64", "0x63", "0x66").replace(11, 13, "handguns\t0x37"),
     {{F::kNoEquals, "handguns", {"handguns=0x37"}}, {F::kNotBoundGivenAbove, "handguns"}}},
    {"ConsoleBindCommand",
     bound_as("0x62", "0x65", "0x64", "0x63", "0x66").replace(11, 13, "bind F7 handguns"),
     {{F::kNoEquals, "handguns", {"handguns=0x76"}}, {F::kNotBoundGivenAbove, "handguns"}}},
    {"TwoKeysInALineGiveNoExample",
     bound_as("0x62", "0x65", "0x64", "0x63", "0x66").replace(11, 13, "handguns 0x37 0x38"),
     {{F::kNoEquals}, {F::kNotBound, "handguns", {"handguns=0x62"}}}},
    // A fire button in another syntax is never the line to write.
    {"FireButtonInAnotherSyntax",
     bound_as("0x62", "0x65", "0x64", "0x63", "0x66").replace(11, 13, "handguns: Mouse1"),
     {{F::kNoEquals, "handguns"}, {F::kNotBound, "handguns", {"handguns=0x62"}}}},

    // Files that are no plain list of lines get one finding, and never a
    // line to add that the player already sees.
    {"RichText",
     "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Calibri;}}\r\n\\f0\\fs22 [Bindings]\\par\r\n"
     "handguns=0x37\\par\r\n}\r\n",
     {{F::kRichText}}},
    {"Json",
     "{\r\n  \"bindings\": {\r\n    \"handguns\": \"0x37\",\r\n    \"rifle\": \"0x35\"\r\n  "
     "}\r\n}\r\n",
     {{F::kJson, nullptr, {"handguns=0x37", "rifle=0x35"}}}},
    {"Yaml",
     "bindings:\n  handguns: 0x37\n  rifle: F5\n",
     {{F::kYaml, nullptr, {"handguns=0x37", "rifle=0x74"}}}},
    {"CommaSeparated",
     "category,key\nhandguns,0x37\nrifle,0x35\n",
     {{F::kCommaSeparated, nullptr, {"handguns=0x37", "rifle=0x35"}}}},
    {"SpreadsheetCells",
     "handguns\t0x37\nrifle\t0x35\n",
     {{F::kSpreadsheetCells, nullptr, {"handguns=0x37", "rifle=0x35"}}}},
    // The fire button is never one of the lines to write.
    {"JsonWithTheFireButton", "{\"handguns\": \"Mouse1\"}\n", {{F::kJson}}},
    {"LinesJoinedByLineSeparators",
     "[Bindings]\xE2\x80\xA8handguns=0x37\xE2\x80\xA8rifle=0x35\r\n",
     {{F::kHiddenLineBreak}}},
    {"LinesJoinedByParagraphSeparators",
     kAllBound + std::string("shotgun=0x33\xE2\x80\xA9rifle=0x35\n"),
     {{F::kHiddenLineBreak}}},
    {"LinesJoinedByNextLineMarks", "[Bindings]\xC2\x85handguns=0x37\n", {{F::kHiddenLineBreak}}},

    // The tests that can fail: separators between codes, tabs, four-letter
    // near misses, the case of the name, an empty header.
    {"AmpersandBetweenTwoCodes",
     handguns_as("0x62&0x32"),
     {{F::kMoreThanOneKey, "handguns", {"handguns=0x62", "handguns=0x32"}}}},
    {"TabBetweenTwoCodes",
     handguns_as("0x62\t0x32"),
     {{F::kMoreThanOneKey, "handguns", {"handguns=0x62", "handguns=0x32"}}}},
    {"TabAfterTheNumberIsClean", handguns_as("0x62\tnumpad"), {}},
    {"FourLetterNearMiss", with_line("shot=0x31"), {{F::kMisnamedCategory, "shotgun"}}},
    {"ThreeLetterWeaponWord", with_line("gun=0x31"), {{F::kUnknownWeaponName}}},
    {"FileNameInOtherCase", kAllBound, {}, "HolsterKeys.INI"},
    {"EmptySectionName",
     "[]\nrifle=0x66\n",
     {{F::kNoSectionHeaderHelps},
      {F::kNotBound, "handguns", {"handguns=0x62"}},
      {F::kNotBound, "machineguns", {"machineguns=0x65"}},
      {F::kNotBound, "submachine", {"submachine=0x64"}},
      {F::kNotBound, "shotgun", {"shotgun=0x63"}},
      {F::kNotBound, "rifle", {"rifle=0x66"}}}},

    // Sentences are whole and name what they cannot print.
    {"BarePrefixAtTheEnd", handguns_as("0X"), {{F::kStopsAfterPrefix, "handguns"}}},
    {"Utf16WithoutMark", utf16le_without_mark(kAllBound), {{F::kUnmarkedUtf16}}},
    {"NonBreakingSpace",
     handguns_as("\xA0"
                 "0x62"),
     {{F::kStopsBeforeNumber, "handguns", {"handguns=0x62"}}}},
    {"CurlyQuotesInUtf8",
     handguns_as("\xE2\x80\x9C"
                 "0x62"
                 "\xE2\x80\x9D"),
     {{F::kStopsBeforeNumber, "handguns", {"handguns=0x62"}}}},
    {"CtrlZBeforeTheNumber",
     handguns_as("\x1A"
                 "0x62"),
     {{F::kStopsBeforeNumber, "handguns"}}},
    {"LoneByteOfAUtf8Sequence",
     handguns_as("\xC3"
                 "0x62"),
     {{F::kStopsBeforeNumber, "handguns"}}},

    // The player's own code through the wrappings of a guide's placeholder.
    {"CodeInBackticks",
     handguns_as("`0x37`"),
     {{F::kStopsBeforeNumber, "handguns", {"handguns=0x37"}}}},
    {"CodeInAngleBrackets",
     handguns_as("<0x37>"),
     {{F::kStopsBeforeNumber, "handguns", {"handguns=0x37"}}}},
    {"CodeInSquareBrackets",
     handguns_as("[0x37]"),
     {{F::kStopsBeforeNumber, "handguns", {"handguns=0x37"}}}},
    {"CodeInBraces",
     handguns_as("{0x37}"),
     {{F::kStopsBeforeNumber, "handguns", {"handguns=0x37"}}}},
    {"CodeInParentheses",
     handguns_as("(0x37)"),
     {{F::kStopsBeforeNumber, "handguns", {"handguns=0x37"}}}},
    {"KeyNameInAngleBrackets", handguns_as("<F7>"), {{F::kKeyName, "handguns", {"handguns=0x76"}}}},
    // A console's bind command names the 7 key with "7", not code 7.
    {"DigitInABindCommand",
     "[Bindings]\nbind \"7\" \"handguns\"\nmachineguns=0x65\nsubmachine=0x64\nshotgun=0x63\n"
     "rifle=0x66\n",
     {{F::kNoEquals, "handguns", {"handguns=0x37"}}, {F::kNotBoundGivenAbove, "handguns"}}},
    // A row of a table of key codes, copied with blanks between its cells.
    {"TableRowWithBlanks",
     handguns_as("VK_F7 0x76 F7 key"),
     {{F::kKeyName, "handguns", {"handguns=0x76"}}}},
    {"TableRowWithRunsOfBlanks",
     handguns_as("VK_PRIOR   0x21   Page Up key"),
     {{F::kKeyName, "handguns", {"handguns=0x21"}}}},
    // Letters that look like the x of 0x: the Latin x is given where the
    // rest reads as one number.
    {"MultiplicationSignInAHexNumber",
     handguns_as("0\xC3\x97"
                 "37"),
     {{F::kLookAlikeInHex, "handguns", {"handguns=0x37"}}}},
    {"MultiplicationSignSavedAsAnsi",
     handguns_as("0\xD7"
                 "37"),
     {{F::kLookAlikeInHex, "handguns", {"handguns=0x37"}}}},
    {"CyrillicLetterBeforeNoNumber",
     handguns_as("0\xD1\x85"
                 "7G"),
     {{F::kLookAlikeInHex, "handguns"}}},
    // A remark that names another key than the code.
    {"RemarkNamesAnotherKey",
     handguns_as("120 ; x"),
     {{F::kRemarkNamesOtherKey, "handguns", {"handguns=0x58"}}}},
    {"RemarkNamesTheSameKey", handguns_as("0x62 ; Numpad 2"), {}},
    {"RemarkOfADigitIsNoKey", handguns_as("0x62 ; 2"), {}},
    // Letters beyond ASCII, several in a row, saved as ANSI.
    {"AnsiLettersInARow", handguns_as("\xE4\xF6\xFC"), {{F::kUnknownKeyName, "handguns"}}},
    {"AnsiKeyNameInARow",
     handguns_as("R\xFC"
                 "cktaste"),
     {{F::kKeyName, "handguns", {"handguns=0x08"}}}},
    // A category's name two letters away.
    {"CategoryTwoEditsAway", with_line("hnadguns=0x31"), {{F::kMisnamedCategory, "handguns"}}},
    // European spreadsheets separate their cells with ';'.
    {"SemicolonSeparated",
     "category;key\nhandguns;0x37\nrifle;0x35\n",
     {{F::kSemicolonSeparated, nullptr, {"handguns=0x37", "rifle=0x35"}}}},
    // A shortcut to the file, which File Explorer shows as the file.
    {"ShortcutInPlaceOfTheFile",
     kAllBound,
     {{F::kShortcutInPlace}},
     "holsterkeys.ini.lnk",
     "holsterkeys.ini"},
};

INSTANTIATE_TEST_SUITE_P(Files, Diagnosis, testing::ValuesIn(kDiagnosisCases), CaseName());

// A file, how many minutes before noon of 1 December 2026 (UTC) it was
// saved, and what it holds.
struct SavedFile {
  std::string path;
  int minutes_before;
  std::string text = kAllBound;
};

struct NearbyCase {
  const char* name;
  // The files from the scratch folder; the configuration checked is
  // holsterkeys.ini in `folder`.
  std::vector<SavedFile> files;
  std::vector<Said> said;
  const char* folder = "game";
  // Where `folder` holds the VirtualStore copy of this file.
  const char* copy_of = nullptr;
};

void PrintTo(const NearbyCase& nearby, std::ostream* out) { *out << nearby.name; }

class NearbyFiles : public InScratchFolder, public testing::WithParamInterface<NearbyCase> {};

constexpr std::int64_t kNoon = 1796126400;

Checked check_nearby_row(const NearbyCase& row) {
  for (const auto& [path, minutes_before, text] : row.files) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    InScratchFolder::write_file(path, text);
    const std::chrono::sys_seconds saved{std::chrono::seconds(kNoon - 60 * minutes_before)};
    std::filesystem::last_write_time(path, std::chrono::file_clock::from_sys(saved));
  }
  const std::string checked = std::string(row.folder) + "/holsterkeys.ini";
  ConfigFile file = row.copy_of ? inspect_copy(full_path(checked.c_str()), full_path(row.copy_of))
                                : inspect_config(full_path(checked.c_str()));
  if (!row.copy_of) find_nearby(file);
  const ProfileFile reader(checked.c_str());
  return {file, read_bindings(reader)};
}

// Copies and look-alikes beside the file or one folder below it, which the
// module never reads, are named with which was saved last.
TEST_P(NearbyFiles, AreNamedWithWhichWasSavedLast) {
  const auto [file, readings] = check_nearby_row(GetParam());
  const auto diagnosis = diagnose(file, readings);
  EXPECT_EQ(said_of(diagnosis, GetParam().said), GetParam().said);
}

const NearbyCase kNearbyCases[] = {
    {"CopySavedLater",
     {{"game/holsterkeys.ini", 60}, {"game/holsterkeys - Copy.ini", 5}},
     {{F::kSavedLaterBeside}}},
    {"NumberedCopySavedBefore",
     {{"game/holsterkeys.ini", 5}, {"game/holsterkeys (3).ini", 60}},
     {{F::kAlsoHere}}},
    // A copy that File Explorer makes keeps the time of the file it copies.
    {"CopySavedAtTheSameSecond",
     {{"game/holsterkeys.ini", 5}, {"game/holsterkeys - Copy.ini", 5}},
     {{F::kAlsoHere}}},
    {"HiddenTextExtensionSavedLater",
     {{"game/holsterkeys.ini", 60}, {"game/holsterkeys.ini.txt", 5}},
     {{F::kSavedLaterBeside}}},
    {"CopyOfSavedLater",
     {{"game/holsterkeys.ini", 60}, {"game/Copy of holsterkeys.ini", 5}},
     {{F::kSavedLaterBeside}}},
    {"ShortcutSavedBefore",
     {{"game/holsterkeys.ini", 5}, {"game/holsterkeys.ini.lnk", 60}},
     {{F::kAlsoHere}}},
    {"ModsFolderSavedLater",
     {{"game/holsterkeys.ini", 60}, {"game/mods/holsterkeys.ini", 5}},
     {{F::kSavedLaterBelow}}},
    {"OnlyInAFolderBelow",
     {{"game/Game.exe", 60}, {"game/mods/holsterkeys.ini", 5}},
     {{F::kNoFile}, {F::kNeverReadBelow}}},
    {"ReadmeAndModuleAreNoLookAlikes",
     {{"game/holsterkeys.ini", 60},
      {"game/holsterkeys-readme.txt", 5},
      {"game/holsterkeys-readme-pt_BR.txt", 5},
      {"game/holsterkeys.dll", 5},
      {"game/Game.exe", 5}},
     {}},
    {"FolderBelowTheGame",
     {{"game/Game.exe", 60}, {"game/bin/holsterkeys.ini", 5}, {"game/bin/holsterkeys.dll", 5}},
     {{F::kFolderWithoutProgram}},
     "game/bin"},
    // The programs of a release unpacked into a folder of its own are not
    // the game's.
    {"ReleaseInAFolderOfItsOwn",
     {{"game/Game.exe", 60},
      {"game/holsterkeys/holsterkeys.ini", 5},
      {"game/holsterkeys/holsterkeys-setup.exe", 5},
      {"game/holsterkeys/holsterkeys-check.exe", 5}},
     {{F::kFolderWithoutProgram}},
     "game/holsterkeys"},
    {"GameProgramBesideTheFile",
     {{"game/Game.exe", 60}, {"game/holsterkeys.ini", 5}, {"game/holsterkeys-setup.exe", 5}},
     {}},
    // Windows hands a game in a protected folder its VirtualStore copy.
    {"VirtualStoreCopySavedLast",
     {{"game/holsterkeys.ini", 60}, {"store/game/holsterkeys.ini", 5, handguns_as("0x31")}},
     {{F::kVirtualStoreCopy}},
     "store/game",
     "game/holsterkeys.ini"},
    {"VirtualStoreCopySavedBefore",
     {{"game/holsterkeys.ini", 5}, {"store/game/holsterkeys.ini", 60, handguns_as("0x31")}},
     {{F::kVirtualStoreCopyOlder}},
     "store/game",
     "game/holsterkeys.ini"},
    {"VirtualStoreCopyAlone",
     {{"game/Game.exe", 60}, {"store/game/holsterkeys.ini", 5}},
     {{F::kVirtualStoreCopyAlone}},
     "store/game",
     "game/holsterkeys.ini"},
    {"VirtualStoreCopyTheSame",
     {{"game/holsterkeys.ini", 60}, {"store/game/holsterkeys.ini", 5}},
     {},
     "store/game",
     "game/holsterkeys.ini"},
};

// Where Windows keeps the copy that a game in a protected folder reads.
TEST(VirtualStore, CopyOfAFileInAProtectedFolder) {
  const VirtualStore store{{"C:\\Program Files (x86)", "C:\\Program Files\\", "C:\\windows"},
                           "C:\\Users\\ann\\AppData\\Local\\VirtualStore"};
  const struct {
    const char* file;
    const char* copy;
  } rows[] = {
      {"C:\\Program Files (x86)\\Game\\holsterkeys.ini",
       "C:\\Users\\ann\\AppData\\Local\\VirtualStore\\Program Files (x86)\\Game\\holsterkeys.ini"},
      {"c:\\program files\\Game\\holsterkeys.ini",
       "C:\\Users\\ann\\AppData\\Local\\VirtualStore\\program files\\Game\\holsterkeys.ini"},
      {"C:\\Windows\\holsterkeys.ini",
       "C:\\Users\\ann\\AppData\\Local\\VirtualStore\\Windows\\holsterkeys.ini"},
      {"C:\\Program Files (x86) Games\\Game\\holsterkeys.ini", ""},
      {"D:\\Program Files (x86)\\Game\\holsterkeys.ini", ""},
      {"C:\\Games\\Game\\holsterkeys.ini", ""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(virtual_store_copy(row.file, store).value_or(""), row.copy) << row.file;
  }
  EXPECT_EQ(virtual_store_copy(rows[0].file, VirtualStore{}), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Folders, NearbyFiles, testing::ValuesIn(kNearbyCases), CaseName());

#ifndef _WIN32
// What a player reads of one row: the status of each category, then the
// findings and notes with the verdict, as the report prints them. The
// scratch folder's path stands as <folder>, with '/' between folders.
std::string rendered_row(const char* name, const Checked& checked) {
  const auto diagnosis = diagnose(checked.file, checked.readings);
  std::string text = "== " + std::string(name) + "\n";
  for (const Category* category : categories_by_slot()) {
    if (diagnosis.state_of(*category) != nullptr) {
      text += "status " + std::string(category->name) + ": " +
              status_of(diagnosis, checked.readings, *category) + "\n";
    }
  }
  text += findings_text(checked.readings, diagnosis);
  const std::string folder = std::filesystem::current_path().string();
  for (std::size_t at; (at = text.find(folder)) != std::string::npos;) {
    text.replace(at, folder.size(), "<folder>");
  }
  std::replace(text.begin(), text.end(), '\\', '/');
  return text + "\n";
}

class GoldenText : public InScratchFolder {
 protected:
  static void empty_folder() {
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
      std::filesystem::remove_all(entry.path());
    }
  }
};

// The English of every row of the tables, in one file that a change of
// wording shows as a diff. HOLSTERKEYS_UPDATE_GOLDEN=1 writes it anew. The
// times of files are shown in UTC. The native build holds it: the Windows
// build's table lacks a row that only other systems can make.
TEST_F(GoldenText, TablesReadAsTheGoldenFile) {
  setenv("TZ", "UTC", 1);
  tzset();
  std::string text;
  for (const DiagnosisCase& row : kDiagnosisCases) {
    empty_folder();
    text += rendered_row(row.name, check_row(row));
  }
  for (const NearbyCase& row : kNearbyCases) {
    empty_folder();
    text += rendered_row(row.name, check_nearby_row(row));
  }
  const std::string golden = HOLSTERKEYS_GOLDEN_DIR "/diagnosis.en.txt";
  if (std::getenv("HOLSTERKEYS_UPDATE_GOLDEN") != nullptr) {
    std::ofstream(golden, std::ios::binary) << text;
  }
  std::ifstream in(golden, std::ios::binary);
  const std::string expected{std::istreambuf_iterator<char>(in), {}};
  ASSERT_FALSE(expected.empty()) << "cannot read " << golden;
  // The first row that differs, whole.
  const auto differ = std::mismatch(text.begin(), text.end(), expected.begin(), expected.end());
  const std::size_t at = text.rfind("\n== ", static_cast<std::size_t>(differ.first - text.begin()));
  const std::size_t start = at == std::string::npos ? 0 : at + 1;
  EXPECT_EQ(text.substr(start, text.find("\n== ", start + 1) - start),
            expected.substr(start, expected.find("\n== ", start + 1) - start))
      << "run with HOLSTERKEYS_UPDATE_GOLDEN=1 and review the diff of " << golden;
}
#endif

class EveryLanguage : public InScratchFolder {};

// Every finding of every row of the table in every language: whole text,
// no placeholder left, not English, and with the very lines proposed.
TEST_F(EveryLanguage, SaysEveryFindingWholeWithTheSameLines) {
  for (const std::string& language : languages()) {
    if (language == "en") continue;
    for (const DiagnosisCase& row : kDiagnosisCases) {
      for (const auto& entry : std::filesystem::directory_iterator(".")) {
        std::filesystem::remove_all(entry.path());
      }
      const auto [file, readings] = check_row(row);
      const auto diagnosis = diagnose(file, readings);
      for (const Finding& finding : diagnosis.found) {
        speak("en");
        const std::string english = text_of(finding);
        speak(language);
        const std::string said = text_of(finding);
        const std::string where = language + ", " + row.name + ": " + said;
        EXPECT_TRUE(is_whole_text(said)) << where;
        EXPECT_NE(said, english) << where;
        for (const std::string_view fact : kFactNames) {
          EXPECT_EQ(said.find("{" + std::string(fact) + "}"), std::string::npos) << where;
        }
        for (const Proposal& proposal : finding.proposals) {
          EXPECT_NE(said.find(entry_text(proposal)), std::string::npos) << where;
        }
      }
    }
    speak("en");
  }
}

// A category left off on purpose, however written, is not one of "all five".
TEST(Diagnosis, VerdictCountsOnlyCategoriesOnAKey) {
  for (const char* off : {"", "none", "0"}) {
    ConfigFile file;
    file.location = "C:\\game\\holsterkeys.ini";
    file.state = ConfigFile::State::kRead;
    file.bytes = bound_as("0x62", "0x65", "0x64", "0x63", off);
    const ProfileBytes reader(file.bytes, ProfileDialect::kWindows);
    const BindingReadings readings = read_bindings(reader);
    EXPECT_NE(
        findings_text(readings, diagnose(file, readings)).find("Every bound category is usable."),
        std::string::npos)
        << off;
  }
}

// A file that cannot be read gives one finding, which says why and what to do.
TEST(Diagnosis, UnreadFileIsTheOnlyFinding) {
  using State = ConfigFile::State;
  const struct {
    State state;
    FileFailure failure;
    const char* finding;
  } cases[] = {
      {State::kMissing,
       {},
       "There is no configuration file at C:\\game\\holsterkeys.ini. The module reads "
       "holsterkeys.ini from the game's current directory (the folder the game is started from): "
       "put it there."},
      {State::kFolder,
       {},
       "C:\\game\\holsterkeys.ini is a folder, not a file, so the module reads no binding. "
       "Rename or remove that folder, then put your holsterkeys.ini file there."},
      {State::kUnreadable,
       {FileProblem::kOther, "The device is not ready."},
       "C:\\game\\holsterkeys.ini is there, but it cannot be read: The device is not ready."},
      {State::kUnreadable,
       {FileProblem::kLocked, {}},
       "C:\\game\\holsterkeys.ini is there, but it cannot be read: another program has it open "
       "and locked (often an editor, a backup or a sync tool). Close that program, then run the "
       "checker again."},
      {State::kUnreadable,
       {FileProblem::kNoPermission, {}},
       "C:\\game\\holsterkeys.ini is there, but it cannot be read: you have no permission to "
       "read it. Run the checker as administrator, or give your account read access in the "
       "file's Properties, Security tab."},
  };
  for (const auto& unread : cases) {
    ConfigFile file;
    file.location = "C:\\game\\holsterkeys.ini";
    file.state = unread.state;
    file.failure = unread.failure;
    EXPECT_EQ(said(diagnose(file, BindingReadings{}), false),
              std::vector<std::string>{unread.finding});
  }
}

// Near-miss names are found by their distance: one for each character
// added, dropped or changed.
TEST(LooseNames, EditDistanceCountsEachChange) {
  const struct {
    const char* typed;
    const char* name;
    std::size_t edits;
  } cases[] = {
      {"", "", 0},
      {"rifle", "rifle", 0},
      {"", "rifle", 5},
      {"rifle", "", 5},
      {"handgun", "handguns", 1},
      {"handgunss", "handguns", 1},
      {"shotgum", "shotgun", 1},
      {"rifel", "rifle", 2},
      {"x", "y", 1},
      {"ab", "b", 1},
      {"kitten", "sitting", 3},
      {"holsterkey.ini", "holsterkeys.ini", 1},
  };
  for (const auto& names : cases) {
    EXPECT_EQ(edit_distance(names.typed, names.name), names.edits)
        << names.typed << " / " << names.name;
  }
  EXPECT_EQ(loose("Sub Machine-Gun_s\t"), "submachineguns");
}

// Every character that is not printable ASCII is named, as a byte or as a
// whole UTF-8 sequence, and runs of one are counted.
TEST(VisibleText, NamesWhatCannotBePrinted) {
  const std::pair<std::string, const char*> cases[] = {
      {"0x62", "0x62"},
      {"a\tb", "a<tab>b"},
      {std::string(3, '\0'), "<NUL x3>"},
      {"\x1A\x7F", "<Ctrl-Z><DEL>"},
      {"\xA0\xC2\xA0", "<non-breaking space><non-breaking space>"},
      {"\x91\x91\x92\x94", "<curly apostrophe x2><curly apostrophe><curly quote>"},
      {"\xE2\x80\x98\xE2\x80\x9D", "<curly apostrophe><curly quote>"},
      {"\xEF\xBB\xBF\xE2\x80\x8B", "<byte-order mark><zero-width space>"},
      // Letters and marks as they were typed.
      {"\xC3\xA9\xF0\x9F\x98\x80", "\xC3\xA9\xF0\x9F\x98\x80"},
      {"\xD0\xA4", "\xD0\xA4"},
      // Bytes that start no whole character: a lone lead byte, an overlong
      // form, a surrogate, and a code beyond Unicode. Each is read as
      // Windows-1252 reads it, and named where that shows nothing.
      {"\xC3x", "\xC3\x83x"},
      {"\xE0\x9F\xBF", "\xC3\xA0<0x9F>\xC2\xBF"},
      {"\xED\xB0\x80", "\xC3\xAD\xC2\xB0<0x80>"},
      {"\xF4\x90\x80\x80", "\xC3\xB4<0x90><0x80 x2>"},
      // Marks without width or of no one's typing are named.
      {"\xE2\x80\x8E\xEF\xBF\xBE\xEE\x80\x80", "<U+200E><U+FFFE><U+E000>"},
      {"\xAD", "<0xAD>"},
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(visible(text), shown);
}

TEST(VisibleText, NamesTheCharacterWhereReadingStops) {
  const std::pair<std::string, const char*> cases[] = {
      {"", "the end of the text"},
      {" ", "the blank"},
      {"\t", "the tab"},
      {"\"", "the quotation mark \""},
      {"'", "the apostrophe '"},
      {"g", "the character \"g\""},
      {std::string(1, '\0'), "a NUL byte (0x00)"},
      {"\x1A", "the control character 0x1A (Ctrl-Z)"},
      {"\x7F", "the control character 0x7F (DEL)"},
      {"\x93", "a curly quote (0x93)"},
      {"\x94", "a curly quote (0x94)"},
      {"\xE2\x80\x9C", "a curly quote (U+201C)"},
      {"\xE2\x80\x9D", "a curly quote (U+201D)"},
      {"\x91", "a curly apostrophe (0x91)"},
      {"\xE2\x80\x99", "a curly apostrophe (U+2019)"},
      {"\xC3\xA9", "the character \xC3\xA9 (U+00E9)"},
      {"\xE9", "the character \xC3\xA9 (0xE9)"},
      {"\x81", "the byte 0x81"},
  };
  for (const auto& [text, named] : cases) EXPECT_EQ(character_at(text, 0), named) << named;
}

struct KeyNameCase {
  const char* written;
  KeyCode code;
};

// Names players write, and the codes the checker suggests for them.
TEST(KeyNames, WrittenNamesFindTheirCodes) {
  // clang-format off
  const KeyNameCase cases[] = {
      // Numbered keys, under every prefix and at both ends of each run.
      {"F1", 0x70}, {"F2", 0x71}, {"f24", 0x87}, {"VK_F2", 0x71}, {"VK_F3", 0x72},
      {"Numpad0", 0x60}, {"Numpad5", 0x65}, {"Numpad9", 0x69}, {"NUMPAD_5", 0x65},
      {"numpad_5", 0x65}, {"NumPad-6", 0x66}, {"VK_NUMPAD9", 0x69}, {"Num0", 0x60}, {"Num5", 0x65},
      {"Num9", 0x69}, {"KP_0", 0x60}, {"KP_2", 0x62}, {"KP_9", 0x69}, {"a", 0x41}, {"z", 0x5A},
      {"7", 0x37},
      // Blanks, underscores, hyphens and quotes do not count.
      {"page up", 0x21}, {"Page_Up", 0x21}, {"page\tdown", 0x22}, {"\"NUMPAD1\"", 0x61},
      {"'Numpad1'", 0x61}, {"Esc", 0x1B}, {"Space", 0x20},
      // Mouse buttons.
      {"VK_LBUTTON", 0x01}, {"RButton", 0x02}, {"MButton", 0x04}, {"XButton1", 0x05},
      {"XButton2", 0x06}, {"Mouse1", 0x01}, {"Mouse2", 0x02}, {"Mouse3", 0x04}, {"Mouse4", 0x05},
      {"Mouse 4", 0x05}, {"Mouse5", 0x06}, {"LMB", 0x01}, {"RMB", 0x02}, {"MMB", 0x04},
      {"Thumb", 0x05}, {"Thumb1", 0x05}, {"Thumb2", 0x06}, {"Back Button", 0x05},
      {"Forward Button", 0x06}, {"Wheel Click", 0x04}, {"Middle Click", 0x04},
      // Modifiers.
      {"Control", 0x11}, {"VK_MENU", 0x12}, {"LShift", 0xA0}, {"RShift", 0xA1}, {"LCtrl", 0xA2},
      {"RCtrl", 0xA3}, {"LControl", 0xA2}, {"RControl", 0xA3}, {"LAlt", 0xA4}, {"RAlt", 0xA5},
      {"LMenu", 0xA4}, {"RMenu", 0xA5}, {"Shift_L", 0xA0}, {"Shift_R", 0xA1},
      {"Control_L", 0xA2}, {"Control_R", 0xA3}, {"Alt_L", 0xA4}, {"Alt_R", 0xA5},
      {"ISO_Level3_Shift", 0xA5}, {"LWin", 0x5B}, {"VK_RWIN", 0x5C}, {"Win", 0x5B},
      {"Windows", 0x5B}, {"Left Win", 0x5B}, {"Right Win", 0x5C}, {"Super_L", 0x5B},
      {"Super_R", 0x5C},
      // The numpad's other keys.
      {"Multiply", 0x6A}, {"Add", 0x6B}, {"Subtract", 0x6D}, {"Decimal", 0x6E}, {"Divide", 0x6F},
      {"NumpadMultiply", 0x6A}, {"NumpadAdd", 0x6B}, {"NumpadPlus", 0x6B},
      {"NumpadSubtract", 0x6D}, {"NumpadMinus", 0x6D}, {"NumpadDecimal", 0x6E},
      {"NumpadDel", 0x6E}, {"NumpadDivide", 0x6F}, {"NumpadEnter", 0x0D}, {"KP_Enter", 0x0D},
      {"KP_Multiply", 0x6A}, {"KP_Add", 0x6B}, {"KP_Subtract", 0x6D}, {"KP_Decimal", 0x6E},
      {"KP_Divide", 0x6F},
      // Editing and moving.
      {"Return", 0x0D}, {"Escape", 0x1B}, {"PgUp", 0x21}, {"PgDn", 0x22}, {"VK_PRIOR", 0x21},
      {"VK_NEXT", 0x22}, {"Del", 0x2E}, {"Ins", 0x2D}, {"Pos1", 0x24}, {"Left Arrow", 0x25},
      {"Up Arrow", 0x26}, {"Right Arrow", 0x27}, {"Down Arrow", 0x28}, {"ArrowLeft", 0x25},
      {"ArrowUp", 0x26}, {"ArrowRight", 0x27}, {"ArrowDown", 0x28}, {"Back", 0x08},
      {"BkSp", 0x08}, {"BackSpace", 0x08}, {"Spacebar", 0x20}, {"Context Menu", 0x5D},
      // Locks, printing and breaking.
      {"Capital", 0x14}, {"CapsLock", 0x14}, {"Caps_Lock", 0x14}, {"NumLock", 0x90},
      {"Scroll", 0x91}, {"Scroll_Lock", 0x91}, {"Snapshot", 0x2C}, {"PrtSc", 0x2C},
      {"PrintScreen", 0x2C}, {"PrtScn", 0x2C}, {"Sys_Req", 0x2C}, {"Break", 0x13},
      // Windows' names of the keys of other layouts and of the media keys.
      {"Kana", 0x15}, {"Hangul", 0x15}, {"Hanja", 0x19}, {"Kanji", 0x19}, {"Convert", 0x1C},
      {"NonConvert", 0x1D}, {"VK_OEM_1", 0xBA}, {"OEM_PLUS", 0xBB}, {"OEM_COMMA", 0xBC},
      {"OEM_MINUS", 0xBD}, {"OEM_PERIOD", 0xBE}, {"OEM_2", 0xBF}, {"OEM_3", 0xC0},
      {"OEM_4", 0xDB}, {"OEM_5", 0xDC}, {"OEM_6", 0xDD}, {"OEM_7", 0xDE}, {"OEM_8", 0xDF},
      {"VK_OEM_102", 0xE2}, {"VK_ABNT_C1", 0xC1}, {"ABNT_C2", 0xC2}, {"VK_PROCESSKEY", 0xE5},
      {"VK_VOLUME_MUTE", 0xAD}, {"MEDIA_NEXT_TRACK", 0xB0}, {"MEDIA_PREV_TRACK", 0xB1},
      {"MEDIA_STOP", 0xB2}, {"MEDIA_PLAY_PAUSE", 0xB3}, {"LAUNCH_MAIL", 0xB4},
      {"LAUNCH_MEDIA_SELECT", 0xB5}, {"VK_HANGEUL", 0x15}, {"VK_JUNJA", 0x17}, {"VK_FINAL", 0x18},
      {"VK_ACCEPT", 0x1E}, {"VK_MODECHANGE", 0x1F}, {"VK_EREOF", 0xF9},
      // A leading zero in a numbered name.
      {"F01", 0x70}, {"Num07", 0x67},
      // The web's KeyboardEvent.code and game engines' names.
      {"Digit0", 0x30}, {"Digit7", 0x37}, {"Digit9", 0x39}, {"KeyA", 0x41}, {"KeyQ", 0x51},
      {"KeyZ", 0x5A}, {"Numpad0", 0x60}, {"ControlRight", 0xA3}, {"ShiftLeft", 0xA0},
      {"AltRight", 0xA5}, {"MetaLeft", 0x5B}, {"Backquote", 0xC0}, {"BracketLeft", 0xDB},
      {"IntlBackslash", 0xE2}, {"Alpha0", 0x30}, {"Alpha7", 0x37}, {"RightControl", 0xA3},
      {"LeftControl", 0xA2}, {"Keypad7", 0x67}, {"KeypadEnter", 0x0D}, {"KeypadPlus", 0x6B},
      {"Mouse0", 0x01}, {"AltGr", 0xA5},
      // Keyboard labels in other languages, in any case, and from a file saved as ANSI.
      {"Strg", 0x11}, {"Einfg", 0x2D}, {"Entf", 0x2E}, {"R\xC3\xBC" "cktaste", 0x08},
      {"Bild ab", 0x22}, {"Bild auf", 0x21}, {"Entr\xC3\xA9" "e", 0x0D},
      {"ENTR\xC3\x89" "E", 0x0D}, {"Entr\xE9" "e", 0x0D}, {"Verr Num", 0x90},
      {"Verr Maj", 0x14}, {"\xC3\x89" "chap", 0x1B}, {"Inicio", 0x24}, {"Retroceso", 0x08},
      {"Av P\xC3\xA1" "g", 0x22}, {"Canc", 0x2E}, {"Invio", 0x0D}, {"Spacja", 0x20},
      {"Strza\xC5\x82" "ka w g\xC3\xB3r\xC4\x99", 0x26},
      {"\xD0\x92\xD0\xB2\xD0\xBE\xD0\xB4", 0x0D}, {"\xD0\x92\xD0\x92\xD0\x9E\xD0\x94", 0x0D},
      {"\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB1\xD0\xB5\xD0\xBB", 0x20}};
  // clang-format on
  for (const KeyNameCase& key : cases) {
    EXPECT_EQ(key_code_named(key.written), key.code) << key.written;
  }
  for (const char* unknown : {"Banana", "", "VK_", "KP_10", "Num10", "F0", "F25", "Numpad",
                              "Digit10", "Alpha", "Key", "KeyQQ", "Key1", "F001"}) {
    EXPECT_EQ(key_code_named(unknown), std::nullopt) << unknown;
  }
}

// The names of keys on the keyboards and in the Windows of German, French,
// Spanish, Brazilian Portuguese, Italian, Polish and Russian players, from
// a file saved as UTF-8 and from one saved as ANSI in that language's code
// page (1252, 1250 or 1251); and other engines' names.
TEST(KeyNames, NamesInOtherLanguagesFromEveryEncoding) {
  const struct {
    const char* utf8;
    const char* ansi;
    KeyCode code;
  } cases[] = {
      {"Strg", "Strg", 0x11},
      {"Umschalt", "Umschalt", 0x10},
      {"Eingabe", "Eingabe", 0x0D},
      {"R\xC3\xBC"
       "cktaste",
       "R\xFC"
       "cktaste",
       0x08},
      {"Tabulator", "Tabulator", 0x09},
      {"Feststelltaste", "Feststelltaste", 0x14},
      {"Leertaste", "Leertaste", 0x20},
      {"Einfg", "Einfg", 0x2D},
      {"Einf\xC3\xBCgen", "Einf\xFCgen", 0x2D},
      {"Entf", "Entf", 0x2E},
      {"Pos1", "Pos1", 0x24},
      {"Ende", "Ende", 0x23},
      {"Bild auf", "Bild auf", 0x21},
      {"Bild ab", "Bild ab", 0x22},
      {"Druck", "Druck", 0x2C},
      {"Rollen", "Rollen", 0x91},
      {"Pfeil nach oben", "Pfeil nach oben", 0x26},
      {"Alt Gr", "Alt Gr", 0xA5},
      {"Maj", "Maj", 0x10},
      {"Entr\xC3\xA9"
       "e",
       "Entr\xE9"
       "e",
       0x0D},
      {"Retour arri\xC3\xA8re", "Retour arri\xE8re", 0x08},
      {"Tabulation", "Tabulation", 0x09},
      {"Verr. maj.", "Verr. maj.", 0x14},
      {"Espace", "Espace", 0x20},
      {"Inser", "Inser", 0x2D},
      {"Suppr", "Suppr", 0x2E},
      {"Origine", "Origine", 0x24},
      {"Fin", "Fin", 0x23},
      {"Page pr\xC3\xA9"
       "c.",
       "Page pr\xE9"
       "c.",
       0x21},
      {"Page suiv.", "Page suiv.", 0x22},
      {"\xC3\x89"
       "chap",
       "\xC9"
       "chap",
       0x1B},
      {"Impr. \xC3\xA9"
       "cran",
       "Impr. \xE9"
       "cran",
       0x2C},
      {"Arr\xC3\xAAt d\xC3\xA9"
       "fil.",
       "Arr\xEAt d\xE9"
       "fil.",
       0x91},
      {"Verr. num.", "Verr. num.", 0x90},
      {"Fl\xC3\xA8"
       "che haut",
       "Fl\xE8"
       "che haut",
       0x26},
      {"May\xC3\xBAs", "May\xFAs", 0x10},
      {"Bloq May\xC3\xBAs", "Bloq May\xFAs", 0x14},
      {"Intro", "Intro", 0x0D},
      {"Retroceso", "Retroceso", 0x08},
      {"Tabulaci\xC3\xB3n", "Tabulaci\xF3n", 0x09},
      {"Espacio", "Espacio", 0x20},
      {"Barra espaciadora", "Barra espaciadora", 0x20},
      {"Insertar", "Insertar", 0x2D},
      {"Supr", "Supr", 0x2E},
      {"Inicio", "Inicio", 0x24},
      {"Re P\xC3\xA1g", "Re P\xE1g", 0x21},
      {"Av P\xC3\xA1g", "Av P\xE1g", 0x22},
      {"Impr Pant", "Impr Pant", 0x2C},
      {"Bloq Despl", "Bloq Despl", 0x91},
      {"Bloq Num", "Bloq Num", 0x90},
      {"Flecha arriba", "Flecha arriba", 0x26},
      {"Espa\xC3\xA7o", "Espa\xE7o", 0x20},
      {"Barra de espa\xC3\xA7o", "Barra de espa\xE7o", 0x20},
      {"Retrocesso", "Retrocesso", 0x08},
      {"In\xC3\xAD"
       "cio",
       "In\xED"
       "cio",
       0x24},
      {"Fim", "Fim", 0x23},
      {"Seta para cima", "Seta para cima", 0x26},
      {"Seta para baixo", "Seta para baixo", 0x28},
      {"Seta para a esquerda", "Seta para a esquerda", 0x25},
      {"Seta para a direita", "Seta para a direita", 0x27},
      {"Tecla Windows", "Tecla Windows", 0x5B},
      {"Maiusc", "Maiusc", 0x10},
      {"Bloc Maiusc", "Bloc Maiusc", 0x14},
      {"Invio", "Invio", 0x0D},
      {"Barra spaziatrice", "Barra spaziatrice", 0x20},
      {"Spazio", "Spazio", 0x20},
      {"Canc", "Canc", 0x2E},
      {"Inizio", "Inizio", 0x24},
      {"Fine", "Fine", 0x23},
      {"Pag su", "Pag su", 0x21},
      {"Pag gi\xC3\xB9", "Pag gi\xF9", 0x22},
      {"Stamp", "Stamp", 0x2C},
      {"Bloc Scorr", "Bloc Scorr", 0x91},
      {"Bloc Num", "Bloc Num", 0x90},
      {"Freccia su", "Freccia su", 0x26},
      {"Spacja", "Spacja", 0x20},
      {"Strza\xC5\x82ka w g\xC3\xB3r\xC4\x99", "Strza\xB3ka w g\xF3r\xEA", 0x26},
      {"Strza\xC5\x82ka w d\xC3\xB3\xC5\x82", "Strza\xB3ka w d\xF3\xB3", 0x28},
      {"Strza\xC5\x82ka w lewo", "Strza\xB3ka w lewo", 0x25},
      {"Strza\xC5\x82ka w prawo", "Strza\xB3ka w prawo", 0x27},
      {"Lewy Shift", "Lewy Shift", 0xA0},
      {"Prawy Shift", "Prawy Shift", 0xA1},
      {"Lewy Ctrl", "Lewy Ctrl", 0xA2},
      {"Prawy Ctrl", "Prawy Ctrl", 0xA3},
      {"Lewy Alt", "Lewy Alt", 0xA4},
      {"Prawy Alt", "Prawy Alt", 0xA5},
      {"Klawisz Windows", "Klawisz Windows", 0x5B},
      {"Usu\xC5\x84", "Usu\xF1", 0x2E},
      {"Wstaw", "Wstaw", 0x2D},
      {"\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB1\xD0\xB5\xD0\xBB", "\xCF\xF0\xEE\xE1\xE5\xEB", 0x20},
      {"\xD0\x92\xD0\xB2\xD0\xBE\xD0\xB4", "\xC2\xE2\xEE\xE4", 0x0D},
      {"\xD0\xA3\xD0\xB4\xD0\xB0\xD0\xBB\xD0\xB8\xD1\x82\xD1\x8C", "\xD3\xE4\xE0\xEB\xE8\xF2\xFC",
       0x2E},
      {"\xD0\x92\xD1\x81\xD1\x82\xD0\xB0\xD0\xB2\xD0\xBA\xD0\xB0", "\xC2\xF1\xF2\xE0\xE2\xEA\xE0",
       0x2D},
      {"\xD0\xA1\xD1\x82\xD1\x80\xD0\xB5\xD0\xBB\xD0\xBA\xD0\xB0 "
       "\xD0\xB2\xD0\xB2\xD0\xB5\xD1\x80\xD1\x85",
       "\xD1\xF2\xF0\xE5\xEB\xEA\xE0 \xE2\xE2\xE5\xF0\xF5", 0x26},
      {"\xD0\xA1\xD1\x82\xD1\x80\xD0\xB5\xD0\xBB\xD0\xBA\xD0\xB0 \xD0\xB2\xD0\xBD\xD0\xB8\xD0\xB7",
       "\xD1\xF2\xF0\xE5\xEB\xEA\xE0 \xE2\xED\xE8\xE7", 0x28},
      {"\xD0\xA1\xD1\x82\xD1\x80\xD0\xB5\xD0\xBB\xD0\xBA\xD0\xB0 "
       "\xD0\xB2\xD0\xBB\xD0\xB5\xD0\xB2\xD0\xBE",
       "\xD1\xF2\xF0\xE5\xEB\xEA\xE0 \xE2\xEB\xE5\xE2\xEE", 0x25},
      {"\xD0\xA1\xD1\x82\xD1\x80\xD0\xB5\xD0\xBB\xD0\xBA\xD0\xB0 "
       "\xD0\xB2\xD0\xBF\xD1\x80\xD0\xB0\xD0\xB2\xD0\xBE",
       "\xD1\xF2\xF0\xE5\xEB\xEA\xE0 \xE2\xEF\xF0\xE0\xE2\xEE", 0x27},
      {"\xD0\xA8\xD0\xB8\xD1\x84\xD1\x82", "\xD8\xE8\xF4\xF2", 0x10},
      {"\xD0\x9A\xD0\xBE\xD0\xBD\xD1\x82\xD1\x80\xD0\xBE\xD0\xBB", "\xCA\xEE\xED\xF2\xF0\xEE\xEB",
       0x11},
      {"\xD0\x9A\xD1\x82\xD1\x80\xD0\xBB", "\xCA\xF2\xF0\xEB", 0x11},
      {"\xD0\x90\xD0\xBB\xD1\x8C\xD1\x82", "\xC0\xEB\xFC\xF2", 0x12},
      {"\xD0\xAD\xD0\xBD\xD1\x82\xD0\xB5\xD1\x80", "\xDD\xED\xF2\xE5\xF0", 0x0D},
      {"\xD0\xA2\xD0\xB0\xD0\xB1", "\xD2\xE0\xE1", 0x09},
      {"\xD0\xAD\xD1\x81\xD0\xBA\xD0\xB5\xD0\xB9\xD0\xBF", "\xDD\xF1\xEA\xE5\xE9\xEF", 0x1B},
      {"\xD0\xAD\xD1\x81\xD0\xBA", "\xDD\xF1\xEA", 0x1B},
      {"\xD0\x91\xD1\x8D\xD0\xBA\xD1\x81\xD0\xBF\xD0\xB5\xD0\xB9\xD1\x81",
       "\xC1\xFD\xEA\xF1\xEF\xE5\xE9\xF1", 0x08},
      {"\xD0\x9A\xD0\xB0\xD0\xBF\xD1\x81\xD0\xBB\xD0\xBE\xD0\xBA", "\xCA\xE0\xEF\xF1\xEB\xEE\xEA",
       0x14},
      {"\xD0\x94\xD0\xBE\xD0\xBC\xD0\xBE\xD0\xB9", "\xC4\xEE\xEC\xEE\xE9", 0x24},
      {"\xD0\x9A\xD0\xBE\xD0\xBD\xD0\xB5\xD1\x86", "\xCA\xEE\xED\xE5\xF6", 0x23},
      {"\xD0\x9F\xD0\xB0\xD1\x83\xD0\xB7\xD0\xB0", "\xCF\xE0\xF3\xE7\xE0", 0x13},
  };
  for (const auto& name : cases) {
    EXPECT_EQ(key_code_named(name.utf8), name.code) << name.utf8;
    EXPECT_EQ(key_code_named(name.ansi), name.code) << name.utf8 << " saved as ANSI";
  }
  for (const auto& [written, code] : {std::pair<const char*, KeyCode>{"ThumbMouseButton", 0x05},
                                      {"ThumbMouseButton2", 0x06},
                                      {"MouseButton4", 0x05},
                                      {"MB5", 0x06},
                                      {"NumPadSeven", 0x67},
                                      {"NumPadZero", 0x60},
                                      {"Keypad Nine", 0x69},
                                      {"MiddleMouseButton", 0x04}}) {
    EXPECT_EQ(key_code_named(written), code) << written;
  }
}

// The name of every code, from 0x00 to 0xFF. Windows' keyboard layouts
// send every named code; codes that no key sends stay nameless (""), so that
// a binding to them is reported as never firing. Each name reads back as its
// code.
TEST(KeyNames, EveryCodeHasItsName) {
  // clang-format off
  const char* const names[256] = {
      /* 0x00 */ "", "Mouse Left", "Mouse Right", "Cancel", "Mouse Middle", "Mouse X1", "Mouse X2",
      /* 0x07 */ "", "Backspace", "Tab", "", "", "Clear", "Enter", "", "",
      /* 0x10 */ "Shift", "Ctrl", "Alt", "Pause", "Caps Lock", "IME Kana", "IME On", "IME Junja",
      /* 0x18 */ "IME Final", "IME Kanji", "IME Off", "Esc", "IME Convert", "IME Nonconvert",
      /* 0x1E */ "IME Accept", "IME Mode Change",
      /* 0x20 */ "Space", "Page Up", "Page Down", "End", "Home", "Left", "Up", "Right", "Down",
      /* 0x29 */ "Select", "Print", "Execute", "Print Screen", "Insert", "Delete", "Help",
      /* 0x30 */ "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "", "", "", "", "", "",
      /* 0x40 */ "", "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N", "O",
      /* 0x50 */ "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z", "Left Windows",
      /* 0x5C */ "Right Windows", "Apps", "", "Sleep",
      /* 0x60 */ "Numpad0", "Numpad1", "Numpad2", "Numpad3", "Numpad4", "Numpad5", "Numpad6",
      /* 0x67 */ "Numpad7", "Numpad8", "Numpad9", "Numpad *", "Numpad +", "Separator", "Numpad -",
      /* 0x6E */ "Numpad .", "Numpad /",
      /* 0x70 */ "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12", "F13",
      /* 0x7D */ "F14", "F15", "F16",
      /* 0x80 */ "F17", "F18", "F19", "F20", "F21", "F22", "F23", "F24", "", "", "", "", "", "", "",
      /* 0x8F */ "",
      /* 0x90 */ "Num Lock", "Scroll Lock", "OEM 0x92", "OEM 0x93", "OEM 0x94", "OEM 0x95",
      /* 0x96 */ "OEM 0x96", "", "", "", "", "", "", "", "", "",
      /* 0xA0 */ "Left Shift", "Right Shift", "Left Ctrl", "Right Ctrl", "Left Alt", "Right Alt",
      /* 0xA6 */ "Browser Back", "Browser Forward", "Browser Refresh", "Browser Stop",
      /* 0xAA */ "Browser Search", "Browser Favorites", "Browser Home", "Volume Mute",
      /* 0xAE */ "Volume Down", "Volume Up",
      /* 0xB0 */ "Next Track", "Previous Track", "Stop Media", "Play/Pause", "Mail", "Select Media",
      /* 0xB6 */ "Launch App 1", "Launch App 2", "", "", "; :", "= +", ", <", "- _", ". >", "/ ?",
      /* 0xC0 */ "` ~", "ABNT C1 (/ ?)", "ABNT C2 (Numpad .)", "", "", "", "", "", "", "", "", "",
      /* 0xCC */ "", "", "", "",
      /* 0xD0 */ "", "", "", "", "", "", "", "", "", "", "", "[ {", "\\ |", "] }", "' \"", "OEM 8",
      /* 0xE0 */ "", "OEM 0xE1", "< > (102nd key)", "OEM 0xE3", "OEM 0xE4", "IME Process",
      /* 0xE6 */ "OEM 0xE6", "Packet", "", "OEM 0xE9", "OEM 0xEA", "OEM 0xEB", "OEM 0xEC",
      /* 0xED */ "OEM 0xED", "OEM 0xEE", "OEM 0xEF",
      /* 0xF0 */ "OEM 0xF0", "OEM 0xF1", "OEM 0xF2", "OEM 0xF3", "OEM 0xF4", "OEM 0xF5", "Attn",
      /* 0xF7 */ "CrSel", "ExSel", "Erase EOF", "Play", "Zoom", "NoName", "PA1", "OEM Clear", "",
  };
  // clang-format on
  for (KeyCode code = 0; code <= 0xFF; ++code) {
    const std::string name = names[code];
    EXPECT_EQ(key_name(code), name) << hex_code(code);
    if (!name.empty()) {
      EXPECT_EQ(key_code_named(name), code) << name;
    }
  }
}

// A German keyboard's labels, with a Russian letter and numpad characters
// that would hide which key it is.
std::string german_label(KeyCode code) {
  constexpr std::pair<KeyCode, const char*> kLabels[] = {
      {0xC0, "Ö"}, {0xBA, "Ü"}, {0xBB, "+"}, {0xDF, "!"},
      {0x41, "Ф"}, {0x42, "B"}, {0x62, "2"}, {0x05, "X"},
  };
  for (const auto& [labelled, label] : kLabels) {
    if (labelled == code) return label;
  }
  return "";
}

// Names of keys as Wine gives them, by their X keysyms.
std::string keysym_name(KeyCode code) {
  if (code == 0xA2) return "Control_L";
  return code == 0xE4 || code == 0xDF ? "ISO_Level3_Shift" : "";
}

// Installs a layout's labels for one test and takes them out again.
struct LabelledKeys {
  explicit LabelledKeys(LayoutLabel character) { label_keys_by_layout(character, keysym_name); }
  ~LabelledKeys() { label_keys_by_layout(nullptr, nullptr); }
};

TEST(KeyNames, KeysAreShownByTheirLayoutLabelWhereItDiffers) {
  const LabelledKeys german(german_label);
  const struct {
    KeyCode code;
    const char* shown;
  } cases[] = {
      {0xC0, "Ö, ` ~ on US keyboards"},
      {0xBA, "Ü, ; : on US keyboards"},
      {0xBB, "= +"},
      {0xDF, "!, OEM 8"},
      {0xE4, "ISO_Level3_Shift, OEM 0xE4"},
      {0xA2, "Left Ctrl"},
      {0x41, "Ф, A on US keyboards"},
      {0x42, "B"},
      {0x62, "Numpad2"},
      {0x05, "Mouse X1"},
      {0x70, "F1"},
      {0x3A, ""},
  };
  for (const auto& row : cases) {
    EXPECT_EQ(shown_key_name(row.code), row.shown) << hex_code(row.code);
  }
  // The file keeps the name every layout reads back.
  EXPECT_EQ(key_name(0xC0), "` ~");
  EXPECT_EQ(key_code_named(key_name(0xC0)), 0xC0);
}

// The findings name a key as the player's keyboard shows it.
TEST(KeyNames, FindingsUseTheLayoutLabel) {
  const LabelledKeys german(german_label);
  ConfigFile file;
  file.location = "C:\\game\\holsterkeys.ini";
  file.state = ConfigFile::State::kRead;
  file.bytes = bound_as("0xC0", "0x65", "0x64", "0x63", "0xC0");
  const ProfileBytes reader(file.bytes, ProfileDialect::kWindows);
  const BindingReadings readings = read_bindings(reader);
  const std::vector<std::string> findings = said(diagnose(file, readings), false);
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_TRUE(findings[0].starts_with(
      "handguns and rifle are both on 0xC0 (Ö, ` ~ on US keyboards): when it is pressed"))
      << findings[0];
}

TEST(KeyNames, OnePressOfASidedModifierSetsItsGenericCode) {
  EXPECT_EQ(codes_down_with(0xA1), (std::vector<KeyCode>{0xA1, 0x10}));
  EXPECT_EQ(codes_down_with(0x41), (std::vector<KeyCode>{0x41}));
  EXPECT_EQ(keys_setting(0x12), (std::vector<KeyCode>{0xA4, 0xA5}));
  EXPECT_EQ(keys_setting(0xA4), (std::vector<KeyCode>{0xA4}));
  EXPECT_TRUE(names_mouse_wheel("MWheelUp"));
  EXPECT_TRUE(names_mouse_wheel("Wheel Down"));
  EXPECT_FALSE(names_mouse_wheel("Wheel Click"));
}

}  // namespace
}  // namespace holsterkeys
