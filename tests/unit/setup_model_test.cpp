#include "tools/setup/setup_model.h"

#include <gtest/gtest.h>

#include <string>

#include "bindings/profile_file.h"
#include "tests/case_name.h"

namespace holsterkeys {
namespace {

constexpr char kSample[] =
    "[Bindings]\nhandguns=0x62\nmachineguns=0x65\nsubmachine=0x64\nshotgun=0x63\nrifle=0x66\n";

// The rows of a file as the window shows them.
SetupRows rows_of(const std::string& bytes) {
  ConfigFile file;
  file.location = "C:\\game\\holsterkeys.ini";
  file.state = ConfigFile::State::kRead;
  file.bytes = bytes;
  const ProfileBytes reader(bytes, ProfileDialect::kWindows);
  const BindingReadings readings = read_bindings(reader);
  return setup_rows(readings, diagnose(file, readings));
}

TEST(SetupRows, FiveRowsInSlotOrder) {
  const SetupRows rows = rows_of(kSample);
  const char* expected[][3] = {{"Handguns (slot 2)", "Numpad2 (0x62)", "ok"},
                               {"Shotgun (slot 3)", "Numpad3 (0x63)", "ok"},
                               {"Submachine guns (slot 4)", "Numpad4 (0x64)", "ok"},
                               {"Machine guns (slot 5)", "Numpad5 (0x65)", "ok"},
                               {"Rifles (slot 6)", "Numpad6 (0x66)", "ok"}};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].category_text, expected[i][0]);
    EXPECT_EQ(rows[i].key_text, expected[i][1]);
    EXPECT_EQ(rows[i].status, expected[i][2]);
  }
}

TEST(SetupRows, WithoutAFileNoRowIsBound) {
  ConfigFile missing;
  missing.location = "C:\\game\\holsterkeys.ini";
  for (const SetupRow& row : setup_rows(BindingReadings{}, diagnose(missing, BindingReadings{}))) {
    EXPECT_EQ(row.key_text, "(none)");
    EXPECT_EQ(row.status, "not bound");
  }
}

struct StatusCase {
  const char* name;
  std::string file;
  std::size_t row;  // in slot order
  const char* key_text;
  const char* status;
};

std::string handguns_as(const std::string& value) {
  return std::string(kSample).replace(11, 13, "handguns=" + value);
}

void PrintTo(const StatusCase& status, std::ostream* out) { *out << status.name; }

class SetupStatus : public testing::TestWithParam<StatusCase> {};

TEST_P(SetupStatus, ComesFromTheCheckersFindings) {
  const SetupRow row = rows_of(GetParam().file)[GetParam().row];
  EXPECT_EQ(row.key_text, GetParam().key_text);
  EXPECT_EQ(row.status, GetParam().status);
}

const StatusCase kStatusCases[] = {
    {"KeyName", handguns_as("F5"), 0, "\"F5\"", "F5 is not a number: reads as 0"},
    {"FireButton", handguns_as("0x01"), 0, "Mouse Left (0x01)", "fires on every shot"},
    {"AimButtonAsADigit", handguns_as("2"), 0, "Mouse Right (0x02)", "switches on every aim"},
    {"UnboundOnPurpose", handguns_as(""), 0, "(none)", "not bound (on purpose)"},
    {"NoLine", "[Bindings]\nrifle=0x66\n", 0, "(none)", "not bound"},
    {"SharedKeyLoser", handguns_as("0x63"), 0, "Numpad3 (0x63)",
     "same key as shotgun: shotgun wins"},
    {"SharedKeyWinner", handguns_as("0x63"), 1, "Numpad3 (0x63)",
     "same key as handguns: shotgun wins"},
    {"ThreeOnOneKeyMiddle", "[Bindings]\nhandguns=0x63\nshotgun=0x63\nrifle=0x63\n", 1,
     "Numpad3 (0x63)", "same key as handguns and rifle: rifle wins"},
    {"UnderAGenericModifier", "[Bindings]\nhandguns=0xA0\nrifle=0x10\n", 0, "Left Shift (0xA0)",
     "never selected"},
    {"OnlyOneSideOfAModifier", "[Bindings]\nhandguns=0x11\nrifle=0xA2\n", 0, "Ctrl (0x11)",
     "selected only by Right Ctrl"},
    {"OtherHexNotation", handguns_as("#67"), 0, "\"#67\"", "#67 reads as 0: write 0x67"},
    // 0x66 is rifle's key, so the status proposes no line.
    {"OtherHexNotationOnAnotherCategorysKey", handguns_as("#66"), 0, "\"#66\"", "#66 reads as 0"},
    {"Combination", handguns_as("0x11+0x32"), 0, "Ctrl (0x11)", "one key only: reads Ctrl"},
    {"LongTextCutInTheStatus", handguns_as("PageUpOrPageDown"), 0, "\"PageUpOrPageDown\"",
     "PageUpOrPageDown is not a number: reads as 0"},
    {"LongerTextCutInTheStatus", handguns_as("PageUp or PageDown"), 0, "\"PageUp or PageDown\"",
     "PageUp or Pag... is not a number: reads as 0"},
    {"NoKeyHasTheCode", handguns_as("300"), 0, "\"300\"", "no key has code 300"},
    {"NamelessCodeOfAKey", handguns_as("0x3A"), 0, "\"0x3A\"", "no key has code 58"},
    // Of a category's two findings, the first sets its status.
    {"FirstOfTwoFindings", "[Bindings]\nhandguns=0x02\nrifle=0x02\n", 0, "Mouse Right (0x02)",
     "switches on every aim"},
    {"OctalTrap", handguns_as("010"), 0, "Backspace (0x08)", "octal: reads as 8"},
    {"MouseWheel", handguns_as("WheelUp"), 0, "\"WheelUp\"", "mouse wheel: cannot be bound"},
};

INSTANTIATE_TEST_SUITE_P(Files, SetupStatus, testing::ValuesIn(kStatusCases), CaseName());

struct GameLineCase {
  const char* name;
  std::vector<RunningGame> games;
  const char* expected;
};

void PrintTo(const GameLineCase& game, std::ostream* out) { *out << game.name; }

class GameLine : public testing::TestWithParam<GameLineCase> {};

TEST_P(GameLine, SaysWhatTheGameReads) {
  EXPECT_EQ(game_line(GetParam().games, "C:\\Games\\Host"), GetParam().expected);
}

const GameLineCase kGameLineCases[] = {
    {"NoGame", {}, "Game: no running program has the module loaded."},
    {"ThisFolder",
     {{1, "C:\\Games\\Host\\host.exe", "holsterkeys.dll", 3, "c:\\games\\host\\"}},
     "Game: host.exe has the module loaded, slot 3 (Shotgun). It reads this folder."},
    {"WrongFolder",
     {{1, "host.exe", "holsterkeys.dll", 0, "C:\\Games"}},
     "Game: host.exe has the module loaded, slot 0 (none selected yet). But it reads "
     "holsterkeys.ini from C:\\Games, not from this folder. Move your file there, or start the "
     "game from here."},
    {"LowestSlot",
     {{1, "host.exe", "holsterkeys.dll", 2, "C:\\Games\\Host"}},
     "Game: host.exe has the module loaded, slot 2 (Handguns). It reads this folder."},
    {"HighestSlot",
     {{1, "host.exe", "holsterkeys.dll", 6, "C:\\Games\\Host"}},
     "Game: host.exe has the module loaded, slot 6 (Rifles). It reads this folder."},
    {"AboveTheSlots",
     {{1, "host.exe", "holsterkeys.dll", 7, "C:\\Games\\Host"}},
     "Game: host.exe has the module loaded, slot 7 (none selected yet). It reads this folder."},
    {"NothingReadable",
     {{1, "host.exe", "holsterkeys.dll", std::nullopt, std::nullopt}},
     "Game: host.exe has the module loaded; its slot cannot be read. Its folder cannot be read."},
};

INSTANTIATE_TEST_SUITE_P(Games, GameLine, testing::ValuesIn(kGameLineCases), CaseName());

}  // namespace
}  // namespace holsterkeys
