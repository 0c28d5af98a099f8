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
#include "advice/loose_names.h"
#include "advice/visible_text.h"
#include "bindings/category_names.h"
#include "bindings/profile_file.h"
#include "keys/key_names.h"
#include "tests/advice_holds.h"
#include "tests/case_name.h"
#include "tests/unit/scratch_folder.h"
#include "tests/whole_text.h"

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

// What is said of a category the file leaves out, with the example the
// advice gives.
std::string no_line_for(const std::string& name, const std::string& example) {
  return name + " is not bound: there is no " + name +
         " line under [Bindings]. Add one, for example " + name + "=" + example + ".";
}

// The same where a misnamed line's finding has given the line to write.
std::string no_line_given_above(const std::string& name) {
  return name + " is not bound: there is no " + name +
         " line under [Bindings]. Write the line given above.";
}

// The same where no line added under [Bindings] would be read by both
// Windows and Wine.
std::string no_line_without_example(const std::string& name) {
  return name + " is not bound: there is no " + name +
         " line under [Bindings]. Add one. To find the code of the key you want";
}

// What is said of a category on a line that the file's encoding hides.
std::string unseen_line(const std::string& name, int line) {
  return name + " is not bound here: this system's reader does not see line " +
         std::to_string(line) + ", because of the file's encoding (see above).";
}

// The verdict on handguns written as two codes, Numpad2 and 2.
constexpr char kReadsOnlyNumpad2[] =
    "names more than one key, but a category takes one key, and key combinations cannot be bound. "
    "The module reads only Numpad2 (0x62), so every Numpad2 press alone selects handguns. Keep one "
    "key: handguns=0x62 for Numpad2, or handguns=0x32 for 2.";

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

// Each sentence holds its part; a part that ends with '$' ends the sentence,
// so that no advice may follow it.
void expect_parts(const std::vector<std::string>& said, const std::vector<std::string>& parts) {
  ASSERT_EQ(said.size(), parts.size()) << testing::PrintToString(said);
  for (std::size_t i = 0; i < said.size(); ++i) {
    const bool at_end = parts[i].ends_with('$');
    const std::string part = at_end ? parts[i].substr(0, parts[i].size() - 1) : parts[i];
    EXPECT_TRUE(at_end ? said[i].ends_with(part) : said[i].find(part) != std::string::npos)
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

// Every sentence is whole text, whatever bytes the file holds.
void expect_printable(const std::vector<std::string>& said) {
  for (const std::string& sentence : said) {
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

TEST_P(Diagnosis, FindsWhatKeepsBindingsFromWorking) {
  const auto [file, readings] = check_row(GetParam());
  const auto diagnosis = diagnose(file, readings);
  expect_parts(diagnosis.findings, GetParam().findings);
  EXPECT_EQ(failed_proposals(file, diagnosis), std::vector<std::string>{});
  EXPECT_EQ(false_selection_claims(readings, diagnosis), std::vector<std::string>{});
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
     {"shotgun is not bound: there is no shotgun line under [Bindings]. Add one, for example "
      "shotgun=0x63 for Numpad3."}},
    {"EmptyValueIsUnboundOnPurpose",
     "[Bindings]\nhandguns=0x62\nmachineguns=0x65\nsubmachine=0x64\nshotgun=0x63\nrifle=\n",
     {},
     {"rifle is left unbound: its line 6 has no value"}},
    {"KeyNameSuggestsItsCode", handguns_as("F2"), {"Write handguns=0x71 for F2"}},
    {"LetterSuggestsItsCode", handguns_as("a"), {"Write handguns=0x41 for A"}},
    {"GarbageIsNoNumber",
     handguns_as("??"),
     {"handguns: \"??\" is not a number: the module stops reading at the character \"?\" and "
      "reads 0, so handguns never fires."}},
    {"ZeroIsOff", handguns_as("0x0"), {}, {"handguns: \"0x0\" leaves handguns unbound"}},
    {"NegativeIsNoKey",
     handguns_as("-5"),
     {"handguns: -5 is not the code of any key, so it never fires"}},
    {"AboveRangeIsNoKey",
     handguns_as("300"),
     {"handguns: 300 is not the code of any key, so it never fires"}},
    {"UnassignedCodeIsNoKey",
     handguns_as("0x3A"),
     {"handguns: 58 is not the code of any key, so it never fires"}},
    {"OctalTrap",
     handguns_as("010"),
     {"\"010\" starts with 0, so it is read as an octal number: 8 (0x08)"}},
    {"EightEndsAnOctalNumber",
     handguns_as("08"),
     {"\"08\" starts with 0, so it is read as an octal number: 0 (0x00)"}},
    {"NineEndsAnOctalNumber", handguns_as("09"), {"read as an octal number: 0 (0x00)"}},
    {"OctalWithEveryDigit", handguns_as("0142"), {"read as an octal number: 98 (0x62)"}},
    {"LoneZeroIsOff",
     handguns_as("0"),
     {},
     {"handguns: \"0\" leaves handguns unbound; handguns= with nothing after it says so plainly. "
      "For the 0 key write handguns=0x30."}},
    {"LoneDigitsAreNotTheirSlots",
     "[Bindings]\nhandguns=2\nmachineguns=5\nsubmachine=4\nshotgun=3\nrifle=6\n",
     {"handguns: 2 is the code of the right mouse button, not of the 2 key: it aims, so every "
      "time you aim the game would switch to handguns. For the 2 key write handguns=0x32.",
      "machineguns: 5 is the code of mouse button X1 (back), not of the 5 key. For the 5 key "
      "write machineguns=0x35; for mouse button X1 (back) write machineguns=0x05",
      "submachine: 4 is the code of the middle mouse button, not of the 4 key. For the 4 key "
      "write submachine=0x34; for the middle mouse button write submachine=0x04",
      "shotgun: 3 is the code of Cancel, not of the 3 key. For the 3 key write shotgun=0x33.",
      "rifle: 6 is the code of mouse button X2 (forward), not of the 6 key. For the 6 key write "
      "rifle=0x36; for mouse button X2 (forward) write rifle=0x06"}},
    {"FireButtonHoweverWritten",
     handguns_as("0x01"),
     {"\"0x01\" is the left mouse button: it fires, so every shot would also switch to "
      "handguns. Pick another key, for example handguns=0x62 for Numpad2."}},
    {"AimButtonHoweverWritten",
     handguns_as("+2 ; aim"),
     {"\"+2 ; aim\" is the right mouse button: it aims, so every time you aim the game would "
      "switch to handguns. Pick another key, for example handguns=0x62 for Numpad2."}},
    {"ExtraMouseButtonsWrittenPlainlyAreClean",
     "[Bindings]\nhandguns=0x62\nmachineguns=0x05\nsubmachine=0x04\nshotgun=0x63\nrifle=0x06\n",
     {}},
    {"QuoteBeforeTheNumber",
     handguns_as("\"0x67'"),
     {"the module stops reading at the quotation mark \" and reads 0, so handguns never fires. "
      "Write handguns=0x67."}},
    {"DoubledEquals", handguns_as("=0x62"), {"at the character \"=\" and reads 0"}},
    {"BlankInsideTheNumber",
     handguns_as("0x 67"),
     {"stops reading at the blank after \"0x\" and reads 0, so handguns never fires. Write "
      "handguns=0x67."}},
    // The line it would advise puts handguns on machineguns' key.
    {"BlankInsideAnotherCategorysCode",
     handguns_as("0x 65"),
     {"stops reading at the blank after \"0x\" and reads 0, so handguns never fires. To find "
      "the code of the key you want, press it in holsterkeys-setup"}},
    {"SharedKeyNamesTheWinner",
     handguns_as("0x66"),
     {"handguns and rifle are both on 0x66 (Numpad6): when it is pressed, rifle wins, being later "
      "in the order handguns, machineguns, submachine, shotgun, rifle. Give each category its own "
      "key."}},
    {"MisspelledKey",
     with_line("handgun=0x31"),
     {"Line 7: \"handgun\" is not a category the module reads, so this line is ignored. Did you "
      "mean \"handguns\"?"}},
    {"SingularMachinegun", with_line("machinegun=0x31"), {"Did you mean \"machineguns\"?"}},
    {"UnderscoredSubmachine", with_line("sub_machine=0x31"), {"Did you mean \"submachine\"?"}},
    // Without its blank or tab, the name holds "submachine" from its start.
    {"BlankInSubmachineguns", with_line("sub machineguns=0x31"), {"Did you mean \"submachine\"?"}},
    {"TabInSubmachineguns", with_line("sub\tmachineguns=0x31"), {"Did you mean \"submachine\"?"}},
    {"PluralSubmachineguns", with_line("submachineguns=0x31"), {"Did you mean \"submachine\"?"}},
    {"PluralShotguns", with_line("shotguns=0x31"), {"Did you mean \"shotgun\"?"}},
    {"PluralRifles", with_line("rifles=0x31"), {"Did you mean \"rifle\"?"}},
    {"NothingClose", with_line("knife=0x31"), {}, {"so this line is ignored. The categories are"}},
    // Other games' names: one category each, or the five with their slots.
    {"OtherGamesPistol",
     std::string(kAllBound).replace(11, 13, "pistol=0x37"),
     {"Line 2: \"pistol\" is not a category the module reads, so this line is ignored. Did you "
      "mean \"handguns\"? Then write handguns=0x37.",
      "handguns is not bound"}},
    {"OtherGamesSmg",
     "[Bindings]\nhandguns=0x62\nmachineguns=0x65\nSMGs=0x37\nshotgun=0x63\nrifle=0x66\n",
     {"Did you mean \"submachine\"? Then write submachine=0x37.", "submachine is not bound"}},
    {"OtherGamesSniperRifle",
     "[Bindings]\nhandguns=0x62\nmachineguns=0x65\nsubmachine=0x64\nshotgun=0x63\n"
     "Sniper Rifles=0x37\n",
     {"Did you mean \"rifle\"? Then write rifle=0x37.", "rifle is not bound"}},
    {"OtherGamesSlotName",
     with_line("Slot3=0x37"),
     {"\"Slot3\" is not a category the module reads, so this line is ignored. The categories "
      "are handguns (slot 2)"}},
    {"OtherGamesSlotNumber",
     with_line("weapon2=0x37"),
     {"Line 7: \"weapon2\" is not a category the module reads, so this line is ignored. The "
      "categories are handguns (slot 2), shotgun (slot 3), submachine (slot 4), machineguns "
      "(slot 5) and rifle (slot 6). Write the one you mean before =0x37."}},
    {"HashCommentIsANote",
     with_line("# my keys\n#handguns=0x31"),
     {},
     {"Line 7: \"# my keys\" starts with '#', but only ';' starts a comment",
      "reads this line as an entry named \"#handguns\" and ignores it"}},
    {"RepeatedKey",
     with_line("rifle=0x31"),
     {"Line 7: a second \"rifle\" is ignored; the one on line 6 counts. Delete the line you do "
      "not want."}},
    {"LineWithoutEquals",
     with_line("rifle 0x31"),
     {"Line 7: \"rifle 0x31\" has no '=' and is ignored. It is set on line 6, which counts: "
      "delete this line, or put its value there."}},
    {"LineWithoutEqualsCarriesItsCode",
     "[Bindings]\nhandguns=0x62\nmachineguns=0x65\nsubmachine=0x64\nshotgun=0x63\nrifle 0x31\n",
     {"Line 6: \"rifle 0x31\" has no '=' and is ignored. Write it as rifle=0x31 for 1.",
      "rifle is not bound"}},
    {"SecondSection",
     with_line("[bindings]\nrifle=0x31"),
     {"Line 7: a second [Bindings] section; only the first, on line 1, is read, and it sets rifle "
      "(line 6) already. Put the values you want there, and delete this section."}},
    // Moving it under the first would change nothing the module reads.
    {"SecondSectionThatChangesNothing",
     with_line("[Bindings]\nrifle=0x66\n; more"),
     {},
     {"Line 7: a second [Bindings] section; only the first, on line 1, is read, and it sets "
      "everything this one does alike. Delete this one"}},
    {"SecondSectionWithAnUnsetCategory",
     "[Bindings]\nhandguns=0x62\n[Other]\nx=1\n[Bindings]\nrifle=0x66\n",
     {"Line 5: a second [Bindings] section; only the first, on line 1, is read. Move these "
      "bindings into the first section.",
      no_line_for("machineguns", "0x65 for Numpad5"), no_line_for("submachine", "0x64 for Numpad4"),
      no_line_for("shotgun", "0x63 for Numpad3"), no_line_for("rifle", "0x66 for Numpad6")}},
    {"Utf8ByteOrderMarkHidesSection",
     "\xEF\xBB\xBF" + std::string(kAllBound),
     {"UTF-8 with a byte-order mark, an invisible mark at its start. Windows reads the mark as "
      "part of the first line, so the module there does not see that line and reads none of the "
      "bindings; under Wine it reads all five bindings. Save the file as ANSI",
      unseen_line("handguns", 2), unseen_line("machineguns", 3), unseen_line("submachine", 4),
      unseen_line("shotgun", 5), unseen_line("rifle", 6)}},
    {"Utf8ByteOrderMarkBeforeACommentIsHarmless",
     "\xEF\xBB\xBF; my keys\n" + std::string(kAllBound),
     {}},
    {"MarkBeforeACommentAndTwoSections",
     "\xEF\xBB\xBF; my keys\n" + std::string(kAllBound) + "[Bindings]\nrifle=0x31\n",
     {"Line 8: a second [Bindings] section; only the first, on line 2, is read, and it sets rifle "
      "(line 7) already."}},
    {"Utf16BigEndianIsReadByWineAlone",
     utf16be(kAllBound),
     {"UTF-16 big-endian (\"Unicode big endian\"), which the Windows reader does not understand "
      "and reads none of the bindings; under Wine it reads all five bindings. Save the file as "
      "ANSI",
      unseen_line("handguns", 2), unseen_line("machineguns", 3), unseen_line("submachine", 4),
      unseen_line("shotgun", 5), unseen_line("rifle", 6)}},
    // Where a header would change nothing the module reads, none is advised.
    {"NoSectionAndNothingToPutUnderOne",
     "[Binding]\n; my keys\n",
     {"There is no [Bindings] section (it has [Binding]), so the module reads no binding from "
      "this file.$",
      no_line_for("handguns", "0x62 for Numpad2"), no_line_for("machineguns", "0x65 for Numpad5"),
      no_line_for("submachine", "0x64 for Numpad4"), no_line_for("shotgun", "0x63 for Numpad3"),
      no_line_for("rifle", "0x66 for Numpad6")}},
    {"SectionMisspelled",
     "[Binding]\nrifle=0x66\n",
     {"There is no [Bindings] section (it has [Binding]), so the module reads no binding from "
      "this file. Put a line [Bindings] above the bindings.",
      no_line_for("handguns", "0x62 for Numpad2"), no_line_for("machineguns", "0x65 for Numpad5"),
      no_line_for("submachine", "0x64 for Numpad4"), no_line_for("shotgun", "0x63 for Numpad3"),
      no_line_for("rifle", "0x66 for Numpad6")}},
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
    {"ExampleSkipsATakenNumpadDigit",
     bound_as("0xA0", "0x62", "0x64", "0x63", "0x10"),
     {"so rifle wins, being later in the order handguns, machineguns, submachine, shotgun, rifle. "
      "Give handguns a key of its own, for example handguns=0x61 for Numpad1."}},
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
    // Three categories over a generic code and a sided one: every press of
    // a Shift fires both rows on Shift, and Left Shift also fires rifle.
    {"SharedShiftLosesLeftShiftToASidedRow",
     bound_as("0x10", "0x10", "0x64", "0x63", "0xA0"),
     {"handguns and machineguns are both on 0x10 (Shift): when Right Shift is pressed, "
      "machineguns wins, being later in the order handguns, machineguns, submachine, shotgun, "
      "rifle. Give each category its own key.$",
      "handguns is never selected: pressing Left Shift sets both Shift (0x10) and Left Shift "
      "(0xA0), the key of rifle, so rifle wins; pressing Right Shift sets Shift (0x10), the key "
      "of machineguns as well, so machineguns wins, being later in the order handguns, "
      "machineguns, submachine, shotgun, rifle. Give handguns a key of its own, for example "
      "handguns=0x62 for Numpad2.$",
      "machineguns is selected only by Right Shift: pressing Left Shift sets both Shift (0x10) "
      "and Left Shift (0xA0), the key of rifle, so rifle wins, being later in the order "
      "handguns, machineguns, submachine, shotgun, rifle. Give machineguns a key of its own, for "
      "example machineguns=0x65 for Numpad5.$"}},
    {"SharedShiftLosesBothSidesToSidedRows",
     bound_as("0x10", "0x10", "0x64", "0xA1", "0xA0"),
     {"handguns and machineguns are both on 0x10 (Shift): no press of it selects any of them "
      "(see below). Give each category its own key.$",
      "handguns is never selected: pressing Left Shift sets both Shift (0x10) and Left Shift "
      "(0xA0), the key of rifle, so rifle wins; pressing Right Shift sets both Shift (0x10) and "
      "Right Shift (0xA1), the key of shotgun, so shotgun wins",
      "machineguns is never selected: pressing Left Shift"}},
    // The later row on the generic code outranks the sided one.
    {"SharedShiftOutranksAnEarlierSidedRow",
     bound_as("0xA0", "0x10", "0x64", "0x63", "0x10"),
     {"machineguns and rifle are both on 0x10 (Shift): when it is pressed, rifle wins, being "
      "later in the order handguns, machineguns, submachine, shotgun, rifle. Give each category "
      "its own key.$",
      "handguns is never selected: pressing Left Shift sets both Left Shift (0xA0) and Shift "
      "(0x10), the key of rifle, so rifle wins"}},
    {"ThreeOnOneKeyNamesTheLast",
     bound_as("0x66", "0x65", "0x66", "0x63", "0x66"),
     {"handguns, submachine and rifle are all on 0x66 (Numpad6): when it is pressed, rifle wins"}},
    {"EveryNumpadDigitIsAKey", bound_as("0x60", "0x61", "0x67", "0x68", "0x69"), {}},
    {"EveryNumpadOperatorIsAKey", bound_as("0x6A", "0x6B", "0x6D", "0x6E", "0x6F"), {}},
    {"NumpadNeedsNumLock",
     kAllBound,
     {},
     {"are on the numpad, whose keys send these codes only "
      "while Num Lock is on"}},
    {"NumpadEndsNeedNumLock",
     bound_as("0x60", "0x41", "0x6E", "0x6A", "0x69"),
     {},
     {"handguns, submachine and rifle are on the numpad, whose keys send these codes only while "
      "Num Lock is on"}},
    {"EitherWindowsKeyOpensStart",
     bound_as("0x5B", "0x65", "0x64", "0x63", "0x5C"),
     {},
     {"handguns and rifle are on a Windows key, which also opens the Start menu"}},
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
    {"CommaBetweenTwoCodes", handguns_as("0x62,0x32"), {kReadsOnlyNumpad2}},
    {"SlashBetweenTwoCodes", handguns_as("0x62 / 0x32"), {kReadsOnlyNumpad2}},
    {"BarBetweenTwoCodes", handguns_as("0x62|0x32"), {kReadsOnlyNumpad2}},
    {"BlankBetweenTwoCodes", handguns_as("0x62 0x32"), {kReadsOnlyNumpad2}},
    {"OrBetweenTwoCodes", handguns_as("0x62 or 0x32"), {kReadsOnlyNumpad2}},
    {"NamedCombination",
     handguns_as("Ctrl+1"),
     {"The module reads it as 0, so handguns never fires. Keep one key: handguns=0x11 for Ctrl, "
      "or handguns=0x31 for 1."}},
    {"RemarkWithAWordIsClean", handguns_as("0x62 numpad 2"), {}},

    // Advice that works when followed literally.
    {"MisspeltNameWithAKeyName",
     bound_as("0x62", "0x65", "0x64", "0x63", "0x66").replace(11, 13, "handgun=F2"),
     {"Did you mean \"handguns\"? Then write handguns=0x71 ; F2.",
      no_line_given_above("handguns")}},
    {"MisspeltNameWithoutAValue",
     std::string(kAllBound).replace(11, 13, "handgun="),
     {"Did you mean \"handguns\"? Then write handguns= and the key's code. The categories are",
      no_line_for("handguns", "0x62 for Numpad2")}},
    {"MisspeltNameWithAByteAfterItsCode",
     bound_as("0x62", "0x65", "0x64", "0x63", "0x66").replace(71, 10, "rifles=0x66\xFF"),
     {"Did you mean \"rifle\"? Then write rifle=0x66.", no_line_given_above("rifle")}},
    {"HashHex",
     handguns_as("#67"),
     {"understands only the 0x form: it reads 0. Write handguns=0x67 for Numpad7."}},
    // Rifle on Shift would take every Left Shift press from handguns.
    {"HashHexThatWouldShadowAnotherCategory",
     bound_as("0xA0", "0x65", "0x64", "0x63", "#10"),
     {"understands only the 0x form: it reads 0. To find the code of the key you want"}},
    {"PeriodKeyOnEveryLayout", handguns_as("."), {"The . key sends 0xBE on every keyboard layout"}},
    {"CommaKeyOnEveryLayout", handguns_as(","), {"The , key sends 0xBC on every keyboard layout"}},
    {"DashIsOff", handguns_as("-"), {}, {"handguns: \"-\" leaves handguns unbound"}},
    // Once the curly quotes are gone, 062 could be octal 50 or decimal 62.
    {"CurlyQuotesAroundALeadingZero",
     handguns_as("\xE2\x80\x9C"
                 "062"
                 "\xE2\x80\x9D"),
     {"and reads 0, so handguns never fires. To find the code of the key you want"}},
    // "0 62" could be octal or decimal once the blank is gone: no line.
    {"BlankAfterALeadingZero",
     handguns_as("0 62"),
     {"handguns: 0 is not the code of any key, so it never fires. Key codes run from 0x01 to "
      "0xFE.$"}},
    {"HashHexOnAnotherCategorysKey",
     handguns_as("#66"),
     {"understands only the 0x form: it reads 0. To find the code of the key you want"}},
    {"TrailingHHex", handguns_as("62h"), {"it reads 62. Write handguns=0x62 for Numpad2."}},
    {"BasicHex", handguns_as("&H68"), {"Write handguns=0x68"}},
    {"DollarHex", handguns_as("$69"), {"Write handguns=0x69"}},
    {"PrefixedAndTrailingHHexReadsAsMeant", handguns_as("0x41h"), {}},
    {"VirtualKeyName", handguns_as("VK_PRIOR"), {"Write handguns=0x21 for Page Up."}},
    {"GermanKeyLabel", handguns_as("Einfg"), {"Write handguns=0x2D for Insert."}},
    // A character a key types: its code where every layout gives it one,
    // else where to find it.
    {"PlusKeyOnEveryLayout",
     handguns_as("+"),
     {"handguns: \"+\" is the character a key types, not the key's code, so it reads as 0 and "
      "never fires. The + key sends 0xBB on every keyboard layout: write handguns=0xBB."}},
    {"UmlautDependsOnTheLayout",
     handguns_as("\xC3\xB6"),
     {"handguns: \"\xC3\xB6\" (\xC3\xB6 is U+00F6) is the character a key types, not the "
      "key's code, so it reads as 0 and never fires. Which code that key sends depends on the "
      "keyboard layout: press it in holsterkeys-setup"}},
    {"AnsiLetterDependsOnTheLayout",
     handguns_as("\xE7"),
     {"handguns: \"\xC3\xA7\" (\xC3\xA7 is 0xE7) is the character a key types"}},
    {"CyrillicLetterDependsOnTheLayout",
     handguns_as("\xD0\xA4"),
     {"depends on the keyboard layout"}},
    {"LessThanDependsOnTheLayout", handguns_as("<"), {"depends on the keyboard layout"}},
    // A look-alike letter of another script is not dropped to read the rest
    // in another base: "0\xD1\x8562" (a Cyrillic ha) gives no line to write.
    {"CyrillicLetterInAHexNumber",
     handguns_as("0\xD1\x85"
                 "62"),
     {"and reads 0, so handguns never fires. To find the code of the key you want"}},
    {"WebKeyCode", handguns_as("Digit7"), {"Write handguns=0x37 for 7."}},
    {"RowOfAKeyCodeTable", handguns_as("VK_F7\t0x76\tF7 key"), {"Write handguns=0x76 for F7."}},
    // A row whose cells name two keys gives no line.
    {"RowOfTwoKeys",
     handguns_as("VK_F7\t0x75"),
     {"Write the key's code instead: holsterkeys-check --keys"}},
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
     {},
     {"handguns: \"-0\" leaves handguns unbound; handguns= with nothing after it says so "
      "plainly."}},
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
    {"NearMissTwoLettersApart",
     kAllBound,
     {"but there is hostlerkeys.ini. Its name differs from holsterkeys.ini"},
     {},
     "hostlerkeys.ini",
     "holsterkeys.ini"},
    {"NoNearMissThreeLettersApart",
     kAllBound,
     {"There is no configuration file at "},
     {},
     "hostlerkeys.inf",
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
      unseen_line("handguns", 2), no_line_without_example("machineguns"),
      no_line_without_example("submachine"), no_line_without_example("shotgun")}},

    // Files that work in the module give no finding.
    {"CommentsInOtherStyles",
     with_line("// my keys\n-- keys\nREM keys\n====\n----"),
     {},
     {"Line 7: \"// my keys\" starts with '//'", "Line 8: \"-- keys\" starts with '--'",
      "Line 9: \"REM keys\" starts with 'REM'"}},
    {"RemAloneAndBeforeATab",
     with_line("REM\nrem\tkeys\nRemington 700"),
     {},
     {"Line 7: \"REM\" starts with 'REM'", "Line 8: \"rem<tab>keys\" starts with 'rem'",
      "Line 9: \"Remington 700\" has no '=', so the module ignores it. To keep it as a remark, "
      "start it with ';'."}},
    {"SettingOfAnotherProgram", with_line("Enabled=1"), {}, {"\"Enabled\" is not a category"}},
    {"CtrlZAtTheEnd", kAllBound + std::string("\x1A"), {}},
    {"NulBytesAfterACrash", kAllBound + std::string(512, '\0'), {}},
    {"BrazilianKeys", bound_as("0xC1", "0xC2", "0x64", "0x63", "0x66"), {}},
    {"LineWithoutEqualsNamingACategory", with_line("handguns 0x62"), {"has no '='"}},

    // Octal and decimal read 00 to 07 alike: the code itself is wrong.
    {"ZeroPaddedDigitIsTheCodeItself",
     bound_as("0x62", "0x65", "0x64", "0x63", "06"),
     {"rifle: 06 is the code of mouse button X2 (forward), not of the 6 key. For the 6 key write "
      "rifle=0x36; for mouse button X2 (forward) write rifle=0x06, which says so plainly."}},
    {"ZeroPaddedMiddleButton",
     bound_as("0x62", "0x65", "004", "0x63", "0x66"),
     {"submachine: 004 is the code of the middle mouse button, not of the 4 key. For the 4 key "
      "write submachine=0x34"}},
    {"ZeroPaddedCodeOfNoKey",
     bound_as("0x62", "0x65", "0x64", "07", "0x66"),
     {"shotgun: 07 is the code of no key, not of the 7 key. For the 7 key write shotgun=0x37."}},

    // Values that mean off, and are off.
    {"NoneIsOff",
     handguns_as("none"),
     {},
     {"handguns: \"none\" leaves handguns unbound; handguns= with nothing after it says so "
      "plainly."}},
    {"OffWithARemarkIsOff", handguns_as("Off ; not used"), {}, {"\"Off ; not used\" leaves"}},
    {"DisabledIsOff", handguns_as("disabled"), {}, {"\"disabled\" leaves handguns unbound"}},

    // Lines in another program's syntax carry the player's own key.
    {"ArrowBetweenNameAndCode",
     bound_as("0x62", "0x65", "0x64", "0x63", "0x66").replace(11, 13, "handguns -> 0x37"),
     {"Line 2: \"handguns -> 0x37\" has no '=' and is ignored. Write it as handguns=0x37 for 7.",
      "handguns is not bound"}},
    {"JsonMemberInTheSection",
     bound_as("0x62", "0x65", "0x64", "0x63", "0x66").replace(11, 13, "\"handguns\": \"0x37\","),
     {"has no '=' and is ignored. Write it as handguns=0x37 for 7.", "handguns is not bound"}},
    {"SpreadsheetCellsInTheSection",
     bound_as("0x62", "0x65", "0x64", "0x63", "0x66").replace(11, 13, "handguns\t0x37"),
     {"Write it as handguns=0x37 for 7.", "handguns is not bound"}},
    {"ConsoleBindCommand",
     bound_as("0x62", "0x65", "0x64", "0x63", "0x66").replace(11, 13, "bind F7 handguns"),
     {"Write it as handguns=0x76 for F7.", "handguns is not bound"}},
    {"TwoKeysInALineGiveNoExample",
     bound_as("0x62", "0x65", "0x64", "0x63", "0x66").replace(11, 13, "handguns 0x37 0x38"),
     {"Write it as category=code, and the key's code after the '='. To find the code",
      "handguns is not bound"}},
    // A fire button in another syntax is never the line to write.
    {"FireButtonInAnotherSyntax",
     bound_as("0x62", "0x65", "0x64", "0x63", "0x66").replace(11, 13, "handguns: Mouse1"),
     {"Write it as category=code, and the key's code after the '='. To find the code",
      "handguns is not bound"}},

    // Files that are no plain list of lines get one finding, and never a
    // line to add that the player already sees.
    {"RichText",
     "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Calibri;}}\r\n\\f0\\fs22 [Bindings]\\par\r\n"
     "handguns=0x37\\par\r\n}\r\n",
     {"The file is a rich-text document, as WordPad and Word save them, not plain text: the module "
      "reads its formatting codes as part of the lines and reads none of the bindings. In "
      "WordPad, save it with File > Save As > Plain text document"}},
    {"Json",
     "{\r\n  \"bindings\": {\r\n    \"handguns\": \"0x37\",\r\n    \"rifle\": \"0x35\"\r\n  "
     "}\r\n}\r\n",
     {"The file holds JSON, as programs and web pages write settings, which the module does not "
      "read: it reads plain lines, a [Bindings] line and under it one line for each category, its "
      "name, '=' and the key's code. Replace what the file holds with the lines \"[Bindings]\", "
      "\"handguns=0x37\" and \"rifle=0x35\", one under the other, and save it as ANSI"}},
    {"Yaml",
     "bindings:\n  handguns: 0x37\n  rifle: F5\n",
     {
         "The file holds YAML (name: value), as some programs write settings, which the module "
         "does "
         "not read",
     }},
    {"CommaSeparated",
     "category,key\nhandguns,0x37\nrifle,0x35\n",
     {"The file holds comma-separated values, as spreadsheets save them, which the module does "
      "not read: it reads plain lines, a [Bindings] line and under it one line for each category, "
      "its name, '=' and the key's code. Replace what the file holds with the lines "
      "\"[Bindings]\", \"handguns=0x37\" and \"rifle=0x35\""}},
    {"SpreadsheetCells",
     "handguns\t0x37\nrifle\t0x35\n",
     {"The file holds cells pasted from a spreadsheet, separated by tabs"}},
    // The fire button is never one of the lines to write.
    {"JsonWithTheFireButton",
     "{\"handguns\": \"Mouse1\"}\n",
     {"Write the file that way in Notepad and save it as ANSI (in Notepad: File > Save As, "
      "Encoding: ANSI). To find the code of the key you want"}},
    {"LinesJoinedByLineSeparators",
     "[Bindings]\xE2\x80\xA8handguns=0x37\xE2\x80\xA8rifle=0x35\r\n",
     {"Line 1: \"[Bindings]<line separator>handguns=0x37<line separator>rifle=0x35\" holds a "
      "character that some editors show as a line break, but that ends no line for the module, "
      "so it reads all of this as one line and reads none of the bindings from the file."}},
    {"LinesJoinedByParagraphSeparators",
     kAllBound + std::string("shotgun=0x33\xE2\x80\xA9rifle=0x35\n"),
     {"Line 7: \"shotgun=0x33<paragraph separator>rifle=0x35\" holds a character that some "
      "editors show as a line break, but that ends no line for the module, so it reads all of "
      "this as one line and reads all five bindings from the file."}},
    {"LinesJoinedByNextLineMarks",
     "[Bindings]\xC2\x85handguns=0x37\n",
     {"<next-line mark>handguns=0x37\" holds a character"}},

    // The tests that can fail: separators between codes, tabs, four-letter
    // near misses, the case of the name, an empty header.
    {"AmpersandBetweenTwoCodes", handguns_as("0x62&0x32"), {kReadsOnlyNumpad2}},
    {"TabBetweenTwoCodes", handguns_as("0x62\t0x32"), {kReadsOnlyNumpad2}},
    {"TabAfterTheNumberIsClean", handguns_as("0x62\tnumpad"), {}},
    {"FourLetterNearMiss", with_line("shot=0x31"), {"Did you mean \"shotgun\"?"}},
    {"ThreeLetterWeaponWord",
     with_line("gun=0x31"),
     {"\"gun\" is not a category the module reads, so this line is ignored. The categories are "
      "handguns (slot 2)"}},
    {"FileNameInOtherCase", kAllBound, {}, {}, "HolsterKeys.INI"},
    {"EmptySectionName",
     "[]\nrifle=0x66\n",
     {"There is no [Bindings] section (it has []), so the module reads no binding from this file. "
      "Put a line [Bindings] above the bindings.",
      no_line_for("handguns", "0x62 for Numpad2"), no_line_for("machineguns", "0x65 for Numpad5"),
      no_line_for("submachine", "0x64 for Numpad4"), no_line_for("shotgun", "0x63 for Numpad3"),
      no_line_for("rifle", "0x66 for Numpad6")}},

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
    {"LoneByteOfAUtf8Sequence",
     handguns_as("\xC3"
                 "0x62"),
     {"\"\xC3\x83"
      "0x62\" (\xC3\x83 is 0xC3) is not a number: the module stops reading at "
      "the character \xC3\x83 (0xC3)"}},
};

INSTANTIATE_TEST_SUITE_P(Files, Diagnosis, testing::ValuesIn(kDiagnosisCases), CaseName());

// What a player reads of one row: the status of each category, then the
// findings and notes with the verdict, as the report prints them. The
// scratch folder's path stands as <folder>, with '/' between folders.
std::string rendered_row(const DiagnosisCase& row) {
  const auto [file, readings] = check_row(row);
  const auto diagnosis = diagnose(file, readings);
  std::string text = "== " + std::string(row.name) + "\n";
  for (const Category* category : categories_by_slot()) {
    const std::string& status = diagnosis.status[row_of(*category)];
    if (!status.empty()) text += "status " + std::string(category->name) + ": " + status + "\n";
  }
  text += findings_text(readings, diagnosis);
  const std::string folder = std::filesystem::current_path().string();
  for (std::size_t at; (at = text.find(folder)) != std::string::npos;) {
    text.replace(at, folder.size(), "<folder>");
  }
  std::replace(text.begin(), text.end(), '\\', '/');
  return text + "\n";
}

class GoldenText : public InScratchFolder {};

// The English of every row of the table, in one file that a change of
// wording shows as a diff. HOLSTERKEYS_UPDATE_GOLDEN=1 writes it anew.
TEST_F(GoldenText, DiagnosisTableReadsAsTheGoldenFile) {
#ifdef _WIN32
  GTEST_SKIP() << "the table has rows of its own here; the native build holds the golden file";
#endif
  std::string text;
  for (const DiagnosisCase& row : kDiagnosisCases) {
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
      std::filesystem::remove_all(entry.path());
    }
    text += rendered_row(row);
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

// holsterkeys.ini in a folder below, as this system writes the path.
std::string in_folder(const std::string& folder) {
  return folder + static_cast<char>(std::filesystem::path::preferred_separator) + "holsterkeys.ini";
}

struct NearbyCase {
  const char* name;
  // Each file with how many minutes ago it was saved, from the scratch
  // folder; the configuration checked is game/holsterkeys.ini.
  std::vector<std::pair<std::string, int>> files;
  std::vector<std::string> findings;
  std::vector<std::string> notes = {};
  const char* folder = "game";
};

void PrintTo(const NearbyCase& nearby, std::ostream* out) { *out << nearby.name; }

class NearbyFiles : public InScratchFolder, public testing::WithParamInterface<NearbyCase> {};

// Copies and look-alikes beside the file or one folder below it, which the
// module never reads, are named with which was saved last.
TEST_P(NearbyFiles, AreNamedWithWhichWasSavedLast) {
  for (const auto& [path, minutes_ago] : GetParam().files) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    write_file(path, kAllBound);
    std::filesystem::last_write_time(
        path, std::filesystem::file_time_type::clock::now() - std::chrono::minutes(minutes_ago));
  }
  const std::string checked = std::string(GetParam().folder) + "/holsterkeys.ini";
  ConfigFile file = inspect_config(full_path(checked.c_str()));
  find_nearby(file);
  const ProfileFile reader(checked.c_str());
  const auto diagnosis = diagnose(file, read_bindings(reader));
  expect_parts(diagnosis.findings, GetParam().findings);
  expect_parts(without_num_lock(diagnosis.notes, GetParam().notes), GetParam().notes);
}

const NearbyCase kNearbyCases[] = {
    {"CopySavedLater",
     {{"game/holsterkeys.ini", 60}, {"game/holsterkeys - Copy.ini", 5}},
     {"\"holsterkeys - Copy.ini\" lies beside holsterkeys.ini and was saved after it ("}},
    {"NumberedCopySavedBefore",
     {{"game/holsterkeys.ini", 5}, {"game/holsterkeys (3).ini", 60}},
     {},
     {"lies here too, but the module reads only holsterkeys.ini, which was saved last"}},
    {"HiddenTextExtensionSavedLater",
     {{"game/holsterkeys.ini", 60}, {"game/holsterkeys.ini.txt", 5}},
     {"\"holsterkeys.ini.txt\" lies beside holsterkeys.ini and was saved after it"}},
    {"CopyOfSavedLater",
     {{"game/holsterkeys.ini", 60}, {"game/Copy of holsterkeys.ini", 5}},
     {"\"Copy of holsterkeys.ini\" lies beside holsterkeys.ini and was saved after it"}},
    {"ShortcutSavedBefore",
     {{"game/holsterkeys.ini", 5}, {"game/holsterkeys.ini.lnk", 60}},
     {},
     {"\"holsterkeys.ini.lnk\" (saved "}},
    {"ModsFolderSavedLater",
     {{"game/holsterkeys.ini", 60}, {"game/mods/holsterkeys.ini", 5}},
     {"\"" + in_folder("mods") + "\" lies in a folder below and was saved after holsterkeys.ini"}},
    {"OnlyInAFolderBelow",
     {{"game/Game.exe", 60}, {"game/mods/holsterkeys.ini", 5}},
     {"There is no configuration file at "},
     {"\"" + in_folder("mods") + "\" (saved "}},
    {"ReadmeAndModuleAreNoLookAlikes",
     {{"game/holsterkeys.ini", 60},
      {"game/holsterkeys-readme.txt", 5},
      {"game/holsterkeys.dll", 5},
      {"game/Game.exe", 5}},
     {}},
    {"FolderBelowTheGame",
     {{"game/Game.exe", 60}, {"game/bin/holsterkeys.ini", 5}, {"game/bin/holsterkeys.dll", 5}},
     {},
     {"holds no program, but the folder above it holds Game.exe"},
     "game/bin"},
};

INSTANTIATE_TEST_SUITE_P(Folders, NearbyFiles, testing::ValuesIn(kNearbyCases), CaseName());

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
    const char* reason;
    const char* finding;
  } cases[] = {
      {State::kMissing, "",
       "There is no configuration file at C:\\game\\holsterkeys.ini. The module reads "
       "holsterkeys.ini from the game's current directory (the folder the game is started from): "
       "put it there."},
      {State::kFolder, "",
       "C:\\game\\holsterkeys.ini is a folder, not a file, so the module reads no binding. "
       "Rename or remove that folder, then put your holsterkeys.ini file there."},
      {State::kUnreadable, "another program holds it open",
       "C:\\game\\holsterkeys.ini is there, but it cannot be read: another program holds it "
       "open"},
  };
  for (const auto& unread : cases) {
    ConfigFile file;
    file.location = "C:\\game\\holsterkeys.ini";
    file.state = unread.state;
    file.reason = unread.reason;
    EXPECT_EQ(diagnose(file, BindingReadings{}).findings, std::vector<std::string>{unread.finding});
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
  expect_parts(
      diagnose(file, readings).findings,
      {"handguns and rifle are both on 0xC0 (Ö, ` ~ on US keyboards): when it is pressed"});
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
