#include <gtest/gtest.h>

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

struct DiagnosisCase {
  const char* name;
  std::string file;
  std::vector<std::string> findings;  // a telling part of each, in order
  std::vector<std::string> notes = {};
  const char* file_name = "holsterkeys.ini";
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

TEST_P(Diagnosis, FindsWhatKeepsBindingsFromWorking) {
  write_file(GetParam().file_name, GetParam().file);
  const ProfileFile reader(GetParam().file_name);
  const auto diagnosis =
      diagnose(inspect_config(full_path(GetParam().file_name)), read_bindings(reader));
  expect_parts(diagnosis.findings, GetParam().findings);
  expect_parts(diagnosis.notes, GetParam().notes);
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
    {"NothingClose", with_line("knife=0x31"), {"so this line is ignored. The categories are"}},
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
  const KeyNameCase cases[] = {{"F2", 0x71},       {"f24", 0x87},    {"VK_F2", 0x71},
                               {"a", 0x41},        {"7", 0x37},      {"Numpad5", 0x65},
                               {"NUMPAD_5", 0x65}, {"Space", 0x20},  {"page up", 0x21},
                               {"XButton1", 0x05}, {"Mouse4", 0x05}, {"LShift", 0xA0},
                               {"Escape", 0x1B},   {"Esc", 0x1B}};
  for (const KeyNameCase& key : cases) {
    EXPECT_EQ(key_code_named(key.written), key.code) << key.written;
  }
  EXPECT_EQ(key_code_named("Banana"), std::nullopt);
  EXPECT_EQ(key_code_named(""), std::nullopt);
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
