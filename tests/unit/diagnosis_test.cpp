#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bindings/profile_file.h"
#include "tests/case_name.h"
#include "tests/unit/scratch_folder.h"
#include "tools/check/diagnosis.h"
#include "tools/keys/key_names.h"

namespace holsterkeys {
namespace {

constexpr char kAllBound[] =
    "[Bindings]\nhandguns=0x62\nmachineguns=0x65\nsubmachine=0x64\nshotgun=0x63\nrifle=0x66\n";

struct DiagnosisCase {
  const char* name;
  std::string file;
  std::vector<std::string> expected;  // a telling part of each finding, in order
};

void PrintTo(const DiagnosisCase& diagnosis, std::ostream* out) { *out << diagnosis.name; }

class Diagnosis : public InScratchFolder, public testing::WithParamInterface<DiagnosisCase> {};

TEST_P(Diagnosis, FindsWhatKeepsBindingsFromWorking) {
  write_file("holsterkeys.ini", GetParam().file);
  const ProfileFile reader("holsterkeys.ini");
  ConfigFile file{"holsterkeys.ini", false, {}};
  file.text = read_profile_text("holsterkeys.ini", &file.found);
  const std::vector<std::string> findings = diagnose(file, read_bindings(reader));
  ASSERT_EQ(findings.size(), GetParam().expected.size()) << testing::PrintToString(findings);
  for (std::size_t i = 0; i < findings.size(); ++i) {
    EXPECT_NE(findings[i].find(GetParam().expected[i]), std::string::npos)
        << "finding: " << findings[i] << "\nexpected part: " << GetParam().expected[i];
  }
}

const DiagnosisCase kDiagnosisCases[] = {
    {"AllFiveBoundIsClean", kAllBound, {}},
    {"RemarkAfterNumberIsClean",
     std::string(kAllBound).replace(11, 13, "handguns=0x62 ; numpad 2"),
     {}},
    {"OtherSectionsAreNotRead", std::string(kAllBound) + "[Other]\nrifle=F2\nhandgun=1\n", {}},
    {"UnboundCategory",
     "[Bindings]\nhandguns=0x62\nmachineguns=0x65\nsubmachine=0x64\nrifle=0x66\n",
     {"shotgun is not bound"}},
    {"KeyNameSuggestsItsCode",
     std::string(kAllBound).replace(11, 13, "handguns=F2"),
     {"Write handguns=0x71 for F2"}},
    {"LetterSuggestsItsCode",
     std::string(kAllBound).replace(11, 13, "handguns=a"),
     {"Write handguns=0x41 for A"}},
    {"GarbageIsNoNumber",
     std::string(kAllBound).replace(11, 13, "handguns=??"),
     {"\"??\" is not a number"}},
    {"ZeroIsNoKey",
     std::string(kAllBound).replace(11, 13, "handguns=0"),
     {"handguns: 0 is not the code of any key"}},
    {"NegativeIsNoKey",
     std::string(kAllBound).replace(11, 13, "handguns=-5"),
     {"handguns: -5 is not the code of any key"}},
    {"AboveRangeIsNoKey",
     std::string(kAllBound).replace(11, 13, "handguns=300"),
     {"handguns: 300 is not the code of any key"}},
    {"UnassignedCodeIsNoKey",
     std::string(kAllBound).replace(11, 13, "handguns=0x3A"),
     {"handguns: 58 is not the code of any key"}},
    {"OctalTrap",
     std::string(kAllBound).replace(11, 13, "handguns=010"),
     {"read as an octal number: 8"}},
    {"SharedKeyNamesTheWinner",
     std::string(kAllBound).replace(11, 13, "handguns=0x66"),
     {"handguns and rifle are both on 0x66 (Numpad6): when it is pressed, rifle "
      "wins"}},
    {"MisspelledKey",
     std::string(kAllBound) + "handgun=0x31\n",
     {"Line 7: \"handgun\" is not a category the module reads; did you mean "
      "\"handguns\"?"}},
    {"RepeatedKey",
     std::string(kAllBound) + "rifle=0x31\n",
     {"Line 7: a second \"rifle\" is ignored; the one on line 6 counts"}},
    {"LineWithoutEquals",
     std::string(kAllBound) + "rifle 0x31\n",
     {"Line 7: \"rifle 0x31\" has no '='"}},
    {"SecondSection",
     std::string(kAllBound) + "[bindings]\nrifle=0x31\n",
     {"Line 7: a second [Bindings] section; only the first, on line 1"}},
    {"Utf8ByteOrderMarkHidesSection",
     "\xEF\xBB\xBF" + std::string(kAllBound),
     {"UTF-8 byte-order mark", "no [Bindings] section", "handguns is not bound",
      "machineguns is not bound", "submachine is not bound", "shotgun is not bound",
      "rifle is not bound"}},
    {"SectionMisspelled",
     "[Binding]\nrifle=0x66\n",
     {"no [Bindings] section (it has [Binding])", "handguns", "machineguns", "submachine",
      "shotgun", "rifle"}},
};

INSTANTIATE_TEST_SUITE_P(Files, Diagnosis, testing::ValuesIn(kDiagnosisCases), CaseName());

TEST(Diagnosis, MissingFileIsTheOnlyFinding) {
  const ConfigFile file{"C:\\game\\holsterkeys.ini", false, {}};
  const std::vector<std::string> findings = diagnose(file, BindingReadings{});
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_NE(findings[0].find("no configuration file at C:\\game\\holsterkeys.ini"),
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
