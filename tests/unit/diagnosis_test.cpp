#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include <string>
#include <vector>

#include "bindings/profile_file.h"
#include "tests/case_name.h"
#include "tests/unit/scratch_folder.h"
#include "tools/check/config_file.h"
#include "tools/check/diagnosis.h"
#include "tools/keys/key_names.h"

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

struct DiagnosisCase {
  const char* name;
  std::string file;
  std::vector<std::string> findings;  // a telling part of each, in order
  std::vector<std::string> notes = {};
  const char* file_name = "holsterkeys.ini";
  const char* checked = nullptr;  // the file checked, when not the one written
};

void PrintTo(const DiagnosisCase& diagnosis, std::ostream* out) { *out << diagnosis.name; }

class Diagnosis : public InScratchFolder, public testing::WithParamInterface<DiagnosisCase> {};

void expect_parts(const std::vector<std::string>& said, const std::vector<std::string>& parts) {
  ASSERT_EQ(said.size(), parts.size()) << testing::PrintToString(said);
  for (std::size_t i = 0; i < said.size(); ++i) {
    EXPECT_NE(said[i].find(parts[i]), std::string::npos)
        << "said: " << said[i] << "\nexpected part: " << parts[i];
  }
}

// The fixture's keys are on the numpad, so nearly every case carries the
// Num Lock note; the rows that expect it check it.
std::vector<std::string> without_num_lock(const std::vector<std::string>& notes,
                                          const std::vector<std::string>& expected) {
  const auto names_num_lock = [](const std::string& note) {
    return note.find("Num Lock") != std::string::npos;
  };
  if (std::any_of(expected.begin(), expected.end(), names_num_lock)) return notes;
  std::vector<std::string> kept;
  std::copy_if(notes.begin(), notes.end(), std::back_inserter(kept),
               [&](const std::string& note) { return !names_num_lock(note); });
  return kept;
}

// Every sentence is whole, printable text, whatever bytes the file holds.
void expect_printable(const std::vector<std::string>& said) {
  for (const std::string& sentence : said) {
    EXPECT_TRUE(std::all_of(sentence.begin(), sentence.end(), [](char c) {
      return c >= 0x20 && c < 0x7F;
    })) << testing::PrintToString(sentence);
  }
}

TEST_P(Diagnosis, FindsWhatKeepsBindingsFromWorking) {
  write_file(GetParam().file_name, GetParam().file);
  const char* checked = GetParam().checked ? GetParam().checked : GetParam().file_name;
  const ProfileFile reader(checked);
  const auto diagnosis = diagnose(inspect_config(full_path(checked)), read_bindings(reader));
  expect_parts(diagnosis.findings, GetParam().findings);
  expect_parts(without_num_lock(diagnosis.notes, GetParam().notes), GetParam().notes);
  expect_printable(diagnosis.findings);
  expect_printable(diagnosis.notes);
}

const DiagnosisCase kDiagnosisCases[] = {
    {"AllFiveBoundIsClean", kAllBound, {}},
    {"RemarkAfterNumberIsClean", handguns_as("0x62 ; numpad 2"), {}},
    {"OtherSectionsAreNotRead", with_line("[Other]\nrifle=F2\nhandgun=1"), {}},
    {"UnboundCategory",
     "[Bindings]\nhandguns=0x62\nmachineguns=0x65\nsubmachine=0x64\nrifle=0x66\n",
     {"shotgun is not bound"}},
    {"EmptyValueIsUnboundOnPurpose",
     "[Bindings]\nhandguns=0x62\nmachineguns=0x65\nsubmachine=0x64\nshotgun=0x63\nrifle=\n",
     {},
     {"rifle is left unbound: its line 6 has no value"}},
    {"KeyNameSuggestsItsCode", handguns_as("F2"), {"Write handguns=0x71 for F2"}},
    {"LetterSuggestsItsCode", handguns_as("a"), {"Write handguns=0x41 for A"}},
    {"GarbageIsNoNumber", handguns_as("??"), {"\"??\" is not a number"}},
    {"ZeroIsNoKey", handguns_as("0x0"), {"handguns: 0 is not the code of any key"}},
    {"NegativeIsNoKey", handguns_as("-5"), {"handguns: -5 is not the code of any key"}},
    {"AboveRangeIsNoKey", handguns_as("300"), {"handguns: 300 is not the code of any key"}},
    {"UnassignedCodeIsNoKey", handguns_as("0x3A"), {"handguns: 58 is not the code of any key"}},
    {"OctalTrap", handguns_as("010"), {"read as an octal number: 8"}},
    {"EightEndsAnOctalNumber", handguns_as("08"), {"read as an octal number: 0"}},
    {"LoneZeroIsNoDigitKey", handguns_as("0"), {"0 is the code of no key, not of the 0 key"}},
    {"LoneDigitsAreNotTheirSlots",
     "[Bindings]\nhandguns=2\nmachineguns=5\nsubmachine=4\nshotgun=3\nrifle=6\n",
     {"handguns: 2 is the code of the right mouse button, not of the 2 key: it aims, so every "
      "time you aim the game would switch to handguns. For the 2 key write handguns=0x32.",
      "machineguns: 5 is the code of mouse button X1 (back), not of the 5 key. For the 5 key "
      "write machineguns=0x35; for mouse button X1 (back) write machineguns=0x05",
      "submachine: 4 is the code of the middle mouse button",
      "shotgun: 3 is the code of Cancel, not of the 3 key. For the 3 key write shotgun=0x33.",
      "rifle: 6 is the code of mouse button X2 (forward)"}},
    {"FireButtonHoweverWritten", handguns_as("0x01"), {"is the left mouse button: it fires"}},
    {"AimButtonHoweverWritten", handguns_as("+2 ; aim"), {"is the right mouse button: it aims"}},
    {"ExtraMouseButtonsWrittenPlainlyAreClean",
     "[Bindings]\nhandguns=0x62\nmachineguns=0x05\nsubmachine=0x04\nshotgun=0x63\nrifle=0x06\n",
     {}},
    {"QuoteBeforeTheNumber",
     handguns_as("\"0x64'"),
     {"the module stops reading at the quotation mark \" and reads 0, so handguns never fires. "
      "Write handguns=0x64."}},
    {"DoubledEquals", handguns_as("=0x62"), {"at the character \"=\" and reads 0"}},
    {"BlankInsideTheNumber",
     handguns_as("0x 65"),
     {"stops reading at the blank after \"0x\" and reads 0, so handguns never fires. Write "
      "handguns=0x65."}},
    {"SharedKeyNamesTheWinner",
     handguns_as("0x66"),
     {"handguns and rifle are both on 0x66 (Numpad6): when it is pressed, rifle wins"}},
    {"MisspelledKey",
     with_line("handgun=0x31"),
     {"Line 7: \"handgun\" is not a category the module reads, so this line is ignored. Did you "
      "mean \"handguns\"?"}},
    {"SingularMachinegun", with_line("machinegun=0x31"), {"Did you mean \"machineguns\"?"}},
    {"UnderscoredSubmachine", with_line("sub_machine=0x31"), {"Did you mean \"submachine\"?"}},
    {"PluralSubmachineguns", with_line("submachineguns=0x31"), {"Did you mean \"submachine\"?"}},
    {"PluralShotguns", with_line("shotguns=0x31"), {"Did you mean \"shotgun\"?"}},
    {"PluralRifles", with_line("rifles=0x31"), {"Did you mean \"rifle\"?"}},
    {"NothingClose", with_line("knife=0x31"), {}, {"so this line is ignored. The categories are"}},
    {"HashCommentIsANote",
     with_line("# my keys\n#handguns=0x31"),
     {},
     {"Line 7: \"# my keys\" starts with '#', but only ';' starts a comment",
      "reads this line as an entry named \"#handguns\" and ignores it"}},
    {"RepeatedKey",
     with_line("rifle=0x31"),
     {"Line 7: a second \"rifle\" is ignored; the one on line 6 counts"}},
    {"LineWithoutEquals", with_line("rifle 0x31"), {"Line 7: \"rifle 0x31\" has no '='"}},
    {"SecondSection",
     with_line("[bindings]\nrifle=0x31"),
     {"Line 7: a second [Bindings] section; only the first, on line 1"}},
    {"Utf8ByteOrderMarkHidesSection",
     "\xEF\xBB\xBF" + std::string(kAllBound),
     {"UTF-8 with a byte-order mark", "handguns is not bound here", "machineguns is not bound",
      "submachine is not bound", "shotgun is not bound", "rifle is not bound"}},
    {"Utf8ByteOrderMarkBeforeACommentIsHarmless",
     "\xEF\xBB\xBF; my keys\n" + std::string(kAllBound),
     {}},
    {"Utf16BigEndianIsReadByWineAlone",
     utf16be(kAllBound),
     {"UTF-16 big-endian", "handguns is not bound here", "machineguns", "submachine", "shotgun",
      "rifle"}},
    {"SectionMisspelled",
     "[Binding]\nrifle=0x66\n",
     {"no [Bindings] section (it has [Binding])", "handguns", "machineguns", "submachine",
      "shotgun", "rifle"}},
    {"OtherFileNameIsANote",
     kAllBound,
     {},
     {"reads only a file named holsterkeys.ini"},
     "keys.ini"},

    // One press sets the codes of a sided and of the generic modifier.
    {"LeftShiftUnderShiftNeverWins",
     bound_as("0xA0", "0x65", "0x64", "0x63", "0x10"),
     {"handguns is never selected: pressing Left Shift sets both Left Shift (0xA0) and Shift "
      "(0x10), the key of rifle, so rifle wins, being later in the order handguns, machineguns, "
      "submachine, shotgun, rifle. Give handguns a key of its own, for example handguns=0x62"}},
    {"AltUnderBothSidesNeverWins",
     bound_as("0x12", "0xA4", "0xA5", "0x63", "0x66"),
     {"handguns is never selected: pressing Left Alt sets both Alt (0x12) and Left Alt (0xA4), "
      "the key of machineguns, so machineguns wins; pressing Right Alt sets both Alt (0x12) and "
      "Right Alt (0xA5), the key of submachine, so submachine wins"},
     {"handguns, machineguns and submachine are on Alt: pressed on its own, Alt can open the "
      "menu"}},
    {"CtrlWinsOnlyOnTheOtherSide",
     bound_as("0x11", "0x65", "0x64", "0x63", "0xA2"),
     {"handguns is selected only by Right Ctrl: pressing Left Ctrl sets both Ctrl (0x11) and Left "
      "Ctrl (0xA2), the key of rifle, so rifle wins"}},
    {"SharedGenericModifierNamesTheWinner",
     bound_as("0x10", "0x65", "0x64", "0x63", "0x10"),
     {"handguns and rifle are both on 0x10 (Shift): when it is pressed, rifle wins"}},
    {"NumpadNeedsNumLock",
     kAllBound,
     {},
     {"are on the numpad, whose keys send these codes only "
      "while Num Lock is on"}},
    {"WindowsKeyOpensStart",
     handguns_as("0x5B"),
     {},
     {"handguns is on a Windows key, which also opens the Start menu"}},

    // One category takes one key.
    {"CtrlPlusKeyBindsCtrl",
     handguns_as("0x11+0x32"),
     {"handguns: \"0x11+0x32\" names more than one key, but a category takes one key, and key "
      "combinations cannot be bound. The module reads only Ctrl (0x11), so every Ctrl press alone "
      "selects handguns. Keep one key: handguns=0x11 for Ctrl, or handguns=0x32 for 2."}},
    {"CommaBetweenTwoCodes", handguns_as("0x62,0x32"), {"names more than one key"}},
    {"SlashBetweenTwoCodes", handguns_as("0x62 / 0x32"), {"names more than one key"}},
    {"BarBetweenTwoCodes", handguns_as("0x62|0x32"), {"names more than one key"}},
    {"BlankBetweenTwoCodes", handguns_as("0x62 0x32"), {"The module reads only Numpad2 (0x62)"}},
    {"OrBetweenTwoCodes", handguns_as("0x62 or 0x32"), {"names more than one key"}},
    {"NamedCombination",
     handguns_as("Ctrl+1"),
     {"The module reads it as 0, so handguns never fires. Keep one key: handguns=0x11 for Ctrl, "
      "or handguns=0x31 for 1."}},
    {"RemarkWithAWordIsClean", handguns_as("0x62 numpad 2"), {}},

    // Advice that works when followed literally.
    {"MisspeltNameWithAKeyName",
     bound_as("0x62", "0x65", "0x64", "0x63", "0x66").replace(11, 13, "handgun=F2"),
     {"Did you mean \"handguns\"? Then write handguns=0x71 ; F2.", "handguns is not bound"}},
    {"MisspeltNameWithAByteAfterItsCode",
     bound_as("0x62", "0x65", "0x64", "0x63", "0x66").replace(71, 10, "rifles=0x66\xFF"),
     {"Did you mean \"rifle\"? Then write rifle=0x66.", "rifle is not bound"}},
    {"HashHex",
     handguns_as("#66"),
     {"understands only the 0x form: it reads 0. Write handguns=0x66"}},
    {"TrailingHHex", handguns_as("62h"), {"it reads 62. Write handguns=0x62 for Numpad2."}},
    {"BasicHex", handguns_as("&H63"), {"Write handguns=0x63"}},
    {"DollarHex", handguns_as("$64"), {"Write handguns=0x64"}},
    {"PrefixedAndTrailingHHexReadsAsMeant", handguns_as("0x41h"), {}},
    {"VirtualKeyName", handguns_as("VK_PRIOR"), {"Write handguns=0x21 for Page Up."}},
    {"KeysymName", handguns_as("KP_Multiply"), {"Write handguns=0x6A for Numpad *."}},
    {"QuotedKeyName", handguns_as("\"NUMPAD1\""), {"Write handguns=0x61 for Numpad1."}},
    {"GamerMouseName", handguns_as("Mouse 4"), {"Write handguns=0x05 for Mouse X1."}},
    {"FireButtonByName", handguns_as("Mouse1"), {"Mouse Left is the left mouse button: it fires"}},
    {"UnknownNameGivesNoExample",
     handguns_as("Banana"),
     {"reads as 0 and never fires. Write the key's code instead: holsterkeys-check --keys"}},
    {"MouseWheel",
     handguns_as("MWheelUp"),
     {"the mouse wheel, which has no key code and cannot be "
      "bound"}},
    {"ZeroMeantAsOff",
     handguns_as("-0"),
     {"0 is not the code of any key, so it never fires. Key codes run from 0x01 to 0xFE. handguns= "
      "with nothing after the '=' leaves it unbound on purpose."}},
    {"ValueCutAt99",
     handguns_as("0x62 ;" + std::string(120, 'x')),
     {},
     {"handguns: the value on line 2 is 126 characters long, and the module reads only the first "
      "99."}},
    {"NearMissName",
     kAllBound,
     {"but there is holsterkey.ini. Its name differs from holsterkeys.ini. Rename it"},
     {},
     "holsterkey.ini",
     "holsterkeys.ini"},
#ifndef _WIN32
    {"NameWithABlankAtItsEnd",
     kAllBound,
     {"but there is \"holsterkeys.ini \". Its name ends with a blank"},
     {},
     "holsterkeys.ini ",
     "holsterkeys.ini"},
#endif
    {"MarkBeforeTwoSections",
     "\xEF\xBB\xBF[Bindings]\nhandguns=0x62\n[Bindings]\nrifle=0x66\n",
     {"Put every binding you want under the first [Bindings] line, delete the second one (line 3), "
      "and save the file as ANSI",
      "Line 3: a second [Bindings] section. Under Wine the module reads only the first, on line 1; "
      "on Windows, which misses the header on line 1 behind the byte-order mark, it reads only "
      "this one.",
      "handguns is not bound here: this system's reader does not see line 2, because of the "
      "file's encoding (see above).",
      "machineguns is not bound", "submachine is not bound", "shotgun is not bound"}},

    // Files that work in the module give no finding.
    {"CommentsInOtherStyles",
     with_line("// my keys\n-- keys\nREM keys\n====\n----"),
     {},
     {"Line 7: \"// my keys\" starts with '//'", "Line 8: \"-- keys\" starts with '--'",
      "Line 9: \"REM keys\" starts with 'REM'"}},
    {"SettingOfAnotherProgram", with_line("Enabled=1"), {}, {"\"Enabled\" is not a category"}},
    {"CtrlZAtTheEnd", kAllBound + std::string("\x1A"), {}},
    {"NulBytesAfterACrash", kAllBound + std::string(512, '\0'), {}},
    {"BrazilianKeys", bound_as("0xC1", "0xC2", "0x64", "0x63", "0x66"), {}},
    {"LineWithoutEqualsNamingACategory", with_line("handguns 0x62"), {"has no '='"}},

    // Sentences are whole and name what they cannot print.
    {"BarePrefixAtTheEnd",
     handguns_as("0X"),
     {"the module stops reading at the end of the text "
      "after \"0x\" and reads 0"}},
    {"Utf16WithoutMark",
     utf16le_without_mark(kAllBound),
     {"UTF-16 (\"Unicode\") without a byte-order mark"}},
    {"NonBreakingSpace",
     handguns_as("\xA0"
                 "0x62"),
     {"stops reading at a non-breaking space (0xA0) and reads 0, so handguns never fires. Write "
      "handguns=0x62."}},
    {"CurlyQuotesInUtf8",
     handguns_as("\xE2\x80\x9C"
                 "0x62"
                 "\xE2\x80\x9D"),
     {"\"<curly quote>0x62<curly quote>\" is not a number: the module stops reading at a curly "
      "quote (U+201C)"}},
    {"CtrlZBeforeTheNumber",
     handguns_as("\x1A"
                 "0x62"),
     {"stops reading at the control character 0x1A (Ctrl-Z)"}},
    {"LoneByteOfAUtf8Sequence", handguns_as("\xC3"), {"stops reading at the byte 0xC3"}},
};

INSTANTIATE_TEST_SUITE_P(Files, Diagnosis, testing::ValuesIn(kDiagnosisCases), CaseName());

TEST(Diagnosis, MissingFileIsTheOnlyFinding) {
  ConfigFile file;
  file.location = "C:\\game\\holsterkeys.ini";
  const auto diagnosis = diagnose(file, BindingReadings{});
  ASSERT_EQ(diagnosis.findings.size(), 1u);
  EXPECT_NE(diagnosis.findings[0].find("no configuration file at C:\\game\\holsterkeys.ini"),
            std::string::npos);
}

struct KeyNameCase {
  const char* written;
  KeyCode code;
};

// Names players write, and the codes the checker suggests for them.
TEST(KeyNames, WrittenNamesFindTheirCodes) {
  const KeyNameCase cases[] = {
      {"F2", 0x71},          {"f24", 0x87},         {"VK_F2", 0x71},       {"a", 0x41},
      {"7", 0x37},           {"Numpad5", 0x65},     {"NUMPAD_5", 0x65},    {"Space", 0x20},
      {"page up", 0x21},     {"XButton1", 0x05},    {"Mouse4", 0x05},      {"LShift", 0xA0},
      {"Escape", 0x1B},      {"Esc", 0x1B},         {"VK_RWIN", 0x5C},     {"VK_PRIOR", 0x21},
      {"VK_F3", 0x72},       {"LWin", 0x5B},        {"NumPad-6", 0x66},    {"numpad_5", 0x65},
      {"\"NUMPAD1\"", 0x61}, {"NumpadEnter", 0x0D}, {"ArrowUp", 0x26},     {"PrtSc", 0x2C},
      {"Page_Up", 0x21},     {"KP_2", 0x62},        {"KP_Multiply", 0x6A}, {"Super_L", 0x5B},
      {"Shift_L", 0xA0},     {"Control_R", 0xA3},   {"Mouse3", 0x04},      {"Mouse 4", 0x05},
      {"Thumb", 0x05},       {"VK_OEM_102", 0xE2},  {"VK_ABNT_C1", 0xC1},  {"VK_NEXT", 0x22}};
  for (const KeyNameCase& key : cases) {
    EXPECT_EQ(key_code_named(key.written), key.code) << key.written;
  }
  EXPECT_EQ(key_code_named("Banana"), std::nullopt);
  EXPECT_EQ(key_code_named(""), std::nullopt);
  EXPECT_EQ(key_code_named("KP_10"), std::nullopt);
}

// Windows' keyboard layouts send every named code; codes no key sends stay
// nameless, so that a binding to them is reported as never firing.
TEST(KeyNames, CodesOfLayoutsAreNamedAndNoOthers) {
  for (KeyCode code : {0xC1, 0xC2, 0xE2, 0xDF, 0xE5, 0xF0, 0xA6, 0xB3, 0x15, 0x1C}) {
    EXPECT_FALSE(key_name(code).empty()) << hex_code(code);
  }
  for (KeyCode code :
       {0x07, 0x0A, 0x0E, 0x3A, 0x40, 0x5E, 0x88, 0x97, 0xB8, 0xC3, 0xDA, 0xE0, 0xE8}) {
    EXPECT_TRUE(key_name(code).empty()) << hex_code(code);
  }
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

TEST(KeyNames, EveryNamedCodeReadsBackByItsName) {
  for (KeyCode code = 1; code < 0xFF; ++code) {
    const std::string name = key_name(code);
    if (!name.empty()) {
      EXPECT_EQ(key_code_named(name), code) << name;
    }
  }
}

}  // namespace
}  // namespace holsterkeys
