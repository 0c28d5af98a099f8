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
  std::string expected;
};

void PrintTo(const GameLineCase& game, std::ostream* out) { *out << game.name; }

class GameLine : public testing::TestWithParam<GameLineCase> {};

TEST_P(GameLine, SaysWhatTheGameReads) {
  EXPECT_EQ(game_line(GetParam().games, "C:\\Games\\Host", "Z:\\home\\p\\Game"),
            GetParam().expected);
}

// A game of another Wine prefix: Steam's, whose folder is this window's
// (Z:\home\p\Game as this program names it), and its slot.
RunningGame in_steams_prefix(std::optional<std::int32_t> slot,
                             std::string folder_here = "z:\\home\\p\\game\\") {
  return {4635,
          "/home/p/Game/game.exe",
          "/home/p/Game/holsterkeys.dll",
          slot,
          "/home/p/Game",
          OtherPrefix{"/home/p/.steam/steam/steamapps/compatdata/4242/pfx", "4242", true,
                      std::move(folder_here), true, !slot}};
}

RunningGame with_prefix(RunningGame game, OtherPrefix elsewhere) {
  game.elsewhere = std::move(elsewhere);
  return game;
}

constexpr char kSteamsPrefix[] = "/home/p/.steam/steam/steamapps/compatdata/4242/pfx";
constexpr char kProtontricks[] =
    "It runs under Steam as app 4242. To run this window in the game's prefix, enter in a "
    "terminal: cd /home/p/Game && protontricks-launch --appid 4242 holsterkeys-setup.exe";

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
    {"AnotherPrefixOfSteams",
     {in_steams_prefix(4)},
     "Game: game.exe has the module loaded, slot 4 (Submachine guns), in another Wine prefix: " +
         std::string(kSteamsPrefix) + ". It reads this folder. " + kProtontricks},
    {"AnotherPrefixNoneSelected",
     {in_steams_prefix(0)},
     "Game: game.exe has the module loaded, slot 0 (none selected yet), in another Wine prefix: " +
         std::string(kSteamsPrefix) + ". It reads this folder. " + kProtontricks},
    {"AnotherPrefixWhoseSlotIsHidden",
     {in_steams_prefix(std::nullopt)},
     "Game: game.exe has the module loaded in another Wine prefix, " + std::string(kSteamsPrefix) +
         "; its slot cannot be read. It reads this folder. " + kProtontricks},
    {"AnotherPrefixAnotherFolder",
     {in_steams_prefix(6, "Z:\\home\\p\\Game\\bin")},
     "Game: game.exe has the module loaded, slot 6 (Rifles), in another Wine prefix: " +
         std::string(kSteamsPrefix) +
         ". But it reads holsterkeys.ini from /home/p/Game, not from this folder. Move your file "
         "there, or start the game from here. " +
         kProtontricks},
    {"AnotherPrefixOfWine",
     {with_prefix(in_steams_prefix(2),
                  {"/home/p/wine prefixes/game", "", false, "Z:\\home\\p\\Game", true, false})},
     "Game: game.exe has the module loaded, slot 2 (Handguns), in another Wine prefix: "
     "/home/p/wine prefixes/game. It reads this folder. To run this window in the game's prefix, "
     "enter in a terminal: cd /home/p/Game && WINEPREFIX='/home/p/wine prefixes/game' wine "
     "holsterkeys-setup.exe"},
    {"AnotherPrefixOfSteamsWithoutItsNumber",
     {with_prefix(in_steams_prefix(3),
                  {kSteamsPrefix, "", true, "Z:\\home\\p\\Game", true, false})},
     "Game: game.exe has the module loaded, slot 3 (Shotgun), in another Wine prefix: " +
         std::string(kSteamsPrefix) + ". It reads this folder."},
    {"AnotherPrefixWhoseFolderCannotBeRead",
     {[] {
       RunningGame game = in_steams_prefix(3, "");
       game.folder.reset();
       return game;
     }()},
     "Game: game.exe has the module loaded, slot 3 (Shotgun), in another Wine prefix: " +
         std::string(kSteamsPrefix) +
         ". Its folder cannot be read. It runs under Steam as app "
         "4242."},
    {"TheGameOfThisFolderFirst",
     {{1, "C:\\Other\\other.exe", "holsterkeys.dll", 5, "C:\\Other"}, in_steams_prefix(4)},
     "Game: game.exe has the module loaded, slot 4 (Submachine guns), in another Wine prefix: " +
         std::string(kSteamsPrefix) + ". It reads this folder. " + kProtontricks},
    {"ThisPrefixsGameOfThisFolderFirst",
     {in_steams_prefix(4, "Z:\\elsewhere"),
      {1, "C:\\Games\\Host\\host.exe", "holsterkeys.dll", 5, "C:\\Games\\Host"}},
     "Game: host.exe has the module loaded, slot 5 (Machine guns). It reads this folder."},
};

INSTANTIATE_TEST_SUITE_P(Games, GameLine, testing::ValuesIn(kGameLineCases), CaseName());

}  // namespace
}  // namespace holsterkeys
