// holsterkeys-check.exe as players run it, on the real Windows API: this
// program starts it, holds files, presses keys and plays the game it looks
// for.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "files/file_system.h"
#include "live/binding_writer.h"
#include "live/running_games.h"
#include "module/windows_profile_file.h"
#include "tools/host/stand_in_host.h"

namespace holsterkeys {
namespace {

struct CheckRun {
  DWORD status;
  std::string output;
};

std::string beside_this_program(const char* name) {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, sizeof path);
  const std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

HANDLE inheritable_file(const char* name, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileA(name, access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Starts a program of this folder in the current folder, its input from
// `input` (which it closes) and its output into the file `output_file`.
PROCESS_INFORMATION start_program(const char* program, const std::string& arguments, HANDLE input,
                                  const char* output_file) {
  HANDLE output = inheritable_file(output_file, GENERIC_WRITE, CREATE_ALWAYS);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input;
  startup.hStdOutput = startup.hStdError = output;
  std::string command = "\"" + beside_this_program(program) + "\" " + arguments;
  PROCESS_INFORMATION process{};
  CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                 &process);
  CloseHandle(output);
  CloseHandle(input);
  return process;
}

// Starts the checker in the current folder with its output in a file.
PROCESS_INFORMATION start_checker(const std::string& arguments) {
  return start_program("holsterkeys-check.exe", arguments,
                       inheritable_file("NUL", GENERIC_READ, OPEN_EXISTING), "check-output.txt");
}

std::string checker_output() {
  std::ifstream file("check-output.txt", std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

CheckRun finish_checker(PROCESS_INFORMATION process, DWORD timeout_ms = 30000) {
  if (WaitForSingleObject(process.hProcess, timeout_ms) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 99);
  }
  CheckRun run{99, {}};
  GetExitCodeProcess(process.hProcess, &run.status);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  run.output = checker_output();
  return run;
}

// How many lines the checker has said so far.
std::size_t lines_said() {
  const std::string output = checker_output();
  return static_cast<std::size_t>(std::count(output.begin(), output.end(), '\n'));
}

// Waits until the checker has said `text`.
bool checker_says(const std::string& text, DWORD timeout_ms = 15000) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  while (checker_output().find(text) == std::string::npos) {
    if (GetTickCount64() > deadline) return false;
    Sleep(20);
  }
  return true;
}

// The output with its line ends as in the source: the C library writes
// CR LF.
std::string without_cr(std::string output) {
  std::erase(output, '\r');
  return output;
}

// Some lines of the output, one after another, are each matched whole by
// `patterns`.
testing::AssertionResult says_lines(const std::string& output,
                                    const std::vector<std::string>& patterns) {
  std::vector<std::string> lines;
  std::istringstream text(without_cr(output));
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  for (std::size_t first = 0; first + patterns.size() <= lines.size(); ++first) {
    std::size_t matched = 0;
    while (matched < patterns.size() &&
           std::regex_match(lines[first + matched], std::regex(patterns[matched]))) {
      ++matched;
    }
    if (matched == patterns.size()) return testing::AssertionSuccess();
  }
  return testing::AssertionFailure()
         << "no lines match " << testing::PrintToString(patterns) << " in\n"
         << output;
}

void tap(KeyCode key) {
  host::press_key(key);
  Sleep(50);
  host::release_key(key);
  Sleep(50);
}

CheckRun run_checker(const std::string& arguments) {
  return finish_checker(start_checker(arguments));
}

// --running's output without the games of other Wine prefixes, which a
// test run in another folder of this machine may have running: each is a
// block that begins "Linux process", with its lines indented. `removed`
// gets those blocks.
std::string without_other_prefixes(const std::string& output, std::string& removed) {
  std::string kept;
  std::istringstream text(without_cr(output));
  bool in_block = false;
  for (std::string line; std::getline(text, line);) {
    if (line.starts_with("Linux process ")) {
      in_block = true;
    } else if (!line.starts_with("  ")) {
      in_block = false;
    }
    (in_block ? removed : kept) += line + "\n";
  }
  return kept;
}

class Checker : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = host::enter_scratch_folder(
        std::string("check-") + testing::UnitTest::GetInstance()->current_test_info()->name());
    host::write_config(host::config_binding(host::kSpareKeys));
  }
  void TearDown() override {
    host::remove_config();
    DeleteFileA("check-output.txt");
    SetCurrentDirectoryA("..");
    RemoveDirectoryA(folder_.c_str());
  }

 private:
  std::string folder_;
};

// A file that another program holds open without sharing is there, and
// the checker says why it cannot read it.
TEST_F(Checker, LockedFileIsThereButUnreadable) {
  HANDLE locked = CreateFileA("holsterkeys.ini", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  const CheckRun run = run_checker("");
  CloseHandle(locked);
  EXPECT_EQ(run.status, 1u) << run.output;
  EXPECT_NE(run.output.find("holsterkeys.ini is there, but it cannot be read: another program"),
            std::string::npos)
      << run.output;
}

// The game with the module loaded, under whatever name a module loader
// wants, is listed with what its slot variable holds and the folder where
// the module looks for its configuration.
struct RunningCase {
  const char* name;
  const char* module_file;  // the module's copy in the test's folder
  std::int32_t slot;
  std::string slot_line;
  bool config_there = true;
};

void PrintTo(const RunningCase& running, std::ostream* out) { *out << running.name; }

class Running : public Checker, public testing::WithParamInterface<RunningCase> {};

std::string full_path_of(const char* name) {
  char path[MAX_PATH];
  GetFullPathNameA(name, sizeof path, path, nullptr);
  return path;
}

TEST_P(Running, ListsTheHostWithItsSlot) {
  const std::string module = full_path_of(GetParam().module_file);
  ASSERT_TRUE(CopyFileA(beside_this_program("holsterkeys.dll").c_str(), module.c_str(), FALSE));
  ASSERT_NE(host::load_module(module.c_str()), nullptr);
  if (!GetParam().config_there) host::remove_config();
  // The module stores nothing while no bound key is down.
  host::slot_variable() = GetParam().slot;
  const CheckRun run = run_checker("--running");
  EXPECT_EQ(run.status, 0u) << run.output;
  // This program's own prefix is Windows' to list, once: never as another.
  std::string elsewhere;
  const std::string output = without_other_prefixes(run.output, elsewhere);
  const std::string folder_on_linux = linux_path_of(full_path_of("."));
  ASSERT_FALSE(folder_on_linux.empty());
  EXPECT_EQ(elsewhere.find(folder_on_linux), std::string::npos) << run.output;
  char program[MAX_PATH];
  GetModuleFileNameA(nullptr, program, sizeof program);
  // The folder as the game's own process block holds it, with a backslash.
  const std::string folder = full_path_of(".\\");
  const std::string expected =
      "Process " + std::to_string(GetCurrentProcessId()) + ": " + program +
      "\n  Module: " + module + "\n  Slot variable at 0x00B7CDBC: " + GetParam().slot_line +
      "\n  Current folder: " + folder + "\n  The module reads " + folder + "holsterkeys.ini: " +
      (GetParam().config_there ? "it is there."
                               : "it is not there. Put your holsterkeys.ini in that folder.") +
      "\n";
  EXPECT_EQ(output, expected);
}

constexpr char kNoSlot[] =
    ", not a slot number (2 to 6): the game may not have set it yet, or this is another version "
    "of the game, which keeps its slot elsewhere.";
const RunningCase kRunningCases[] = {
    {"LowestSlot", "holsterkeys.dll", 2, "2, a slot number the module stores."},
    {"MiddleSlot", "holsterkeys.dll", 4, "4, a slot number the module stores."},
    {"HighestSlot", "holsterkeys.dll", 6, "6, a slot number the module stores."},
    {"BelowTheSlots", "holsterkeys.dll", 1, "1" + std::string(kNoSlot)},
    {"AboveTheSlots", "holsterkeys.dll", 7, "7" + std::string(kNoSlot)},
    {"RenamedForALoader", "holsterkeys.asi", 3, "3, a slot number the module stores."},
    {"FolderWithoutTheFile", "holsterkeys.dll", 5, "5, a slot number the module stores.", false},
};

INSTANTIATE_TEST_SUITE_P(Modules, Running, testing::ValuesIn(kRunningCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A game whose module loader loads the module a while after the game
// started: the setup window's surveys, which remember what they have seen
// of each program, find it at the first survey after the load.
TEST_F(Checker, SurveysFindAModuleLoadedAfterTheirFirstLook) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE told = nullptr, tell = nullptr;
  ASSERT_TRUE(CreatePipe(&told, &tell, &inherit, 0));
  SetHandleInformation(tell, HANDLE_FLAG_INHERIT, 0);
  const PROCESS_INFORMATION game =
      start_program("check_tests.exe", "--load-when-told", told, "late-game.txt");
  ASSERT_NE(game.hProcess, nullptr);
  const auto game_says = [](const char* text) {
    for (int i = 0; i < 500; ++i, Sleep(20)) {
      std::ifstream file("late-game.txt");
      const std::string said{std::istreambuf_iterator<char>(file), {}};
      if (said.find(text) != std::string::npos) return true;
    }
    return false;
  };
  const auto lists_game = [&](const RunningSurvey& survey) {
    return std::any_of(survey.games.begin(), survey.games.end(),
                       [&](const RunningGame& found) { return found.id == game.dwProcessId; });
  };
  SurveyMemory memory;
  ASSERT_TRUE(game_says("started"));
  EXPECT_FALSE(lists_game(survey_running(memory)));
  DWORD written = 0;
  WriteFile(tell, "\n", 1, &written, nullptr);
  ASSERT_TRUE(game_says("loaded"));
  EXPECT_TRUE(lists_game(survey_running(memory)));
  // and from what the surveys remember.
  EXPECT_TRUE(lists_game(survey_running(memory)));
  CloseHandle(tell);
  WaitForSingleObject(game.hProcess, 10000);
  CloseHandle(game.hProcess);
  CloseHandle(game.hThread);
}

// Nothing has the module loaded, though another of its programs runs.
TEST_F(Checker, RunningWithoutTheModuleSaysHowToLoadIt) {
  ASSERT_EQ(GetModuleHandleA("holsterkeys.dll"), nullptr) << "module loaded by an earlier test";
  const PROCESS_INFORMATION keys = start_checker("--keys");
  ASSERT_TRUE(checker_says("Esc or Ctrl+C ends"));
  const CheckRun run = run_checker("--running");
  TerminateProcess(keys.hProcess, 0);
  finish_checker(keys);
  std::string elsewhere;
  without_other_prefixes(run.output, elsewhere);
  if (!elsewhere.empty()) {
    GTEST_SKIP() << "a game of another Wine prefix runs on this machine:\n" << elsewhere;
  }
  EXPECT_EQ(run.status, 1u) << run.output;
  EXPECT_EQ(without_cr(run.output),
            "No running program has holsterkeys loaded. Start the game, and check that your module "
            "loader loads holsterkeys.dll: it has to be in the folder the loader reads (usually "
            "the game's folder), under the name the loader expects.\n");
}

// Keys pressed in another program show with their code, name and what the
// module does with them; Esc ends. The fixture binds every category, so a
// new key is offered to handguns, but for the buttons that fire and aim.
TEST_F(Checker, KeysShowsEachPressUntilEsc) {
  // A key already down when the watch starts is no press.
  host::press_key(0x82);
  const PROCESS_INFORMATION checker = start_checker("--keys");
  ASSERT_TRUE(checker_says("Esc or Ctrl+C ends"));
  // Each key once its line is out, so that no two land in one poll, where
  // they would be shown lowest first. F18 is pressed again once released.
  for (KeyCode key : {host::kSpareKeys[0], KeyCode{0x81}, KeyCode{0x81}, KeyCode{0xDE},
                      KeyCode{0xFC}, KeyCode{VK_LBUTTON}, KeyCode{VK_RBUTTON}}) {
    const std::size_t lines = lines_said();
    tap(key);
    const ULONGLONG deadline = GetTickCount64() + 5000;
    while (lines_said() == lines && GetTickCount64() < deadline) Sleep(20);
  }
  host::release_key(0x82);
  tap(VK_ESCAPE);
  const CheckRun run = finish_checker(checker, 5000);
  EXPECT_EQ(run.status, 0u) << run.output;
  const std::string at = " *[0-9]+\\.[0-9]{3} s  ";
  EXPECT_TRUE(says_lines(
      run.output,
      {"Press keys or mouse buttons to see their codes and what holsterkeys does with them\\. Esc "
       "or Ctrl\\+C ends\\..*",
       at + "0x7C \\(124\\)  F13 +handguns -> slot 2",
       at + "0x81 \\(129\\)  F18 +not bound; to bind it, write handguns=0x81",
       at + "0x81 \\(129\\)  F18 +not bound; to bind it, write handguns=0x81",
       at + "0xDE \\(222\\)  ' \" +not bound; to bind it, write handguns=0xDE",
       at + "0xFC \\(252\\)  NoName +not bound; better not bind it: under Wine, a key that puts "
            "an accent on the next letter, as \\^ and .* do, reaches the game only on every "
            "second press",
       at + "0x01 \\(  1\\)  Mouse Left +not bound; better not bind it: it fires, so every shot "
            "would also switch to handguns",
       at + "0x02 \\(  2\\)  Mouse Right +not bound; better not bind it: it aims, so every time "
            "you aim the game would switch to handguns"}));
}

// A new key is offered to the first unbound category in slot order.
TEST_F(Checker, KeysOffersTheFirstFreeSlot) {
  host::write_config("[Bindings]\r\nhandguns=0x7C\r\nmachineguns=0x7D\r\nrifle=0x80\r\n");
  const PROCESS_INFORMATION checker = start_checker("--keys");
  ASSERT_TRUE(checker_says("Esc or Ctrl+C ends"));
  tap(0x81);
  ASSERT_TRUE(checker_says("0x81"));
  tap(VK_ESCAPE);
  const CheckRun run = finish_checker(checker, 5000);
  EXPECT_TRUE(says_lines(run.output, {" *[0-9]+\\.[0-9]{3} s  0x81 \\(129\\)  F18 +not bound; to "
                                      "bind it, write shotgun=0x81"}));
}

// Comments, another section and mixed line ends, all of which must stay.
constexpr char kPlayersFile[] =
    "; my keys\r\n[Bindings]\r\nhandguns=124 ; F13\r\nmachineguns=125\nsubmachine=126\r\n"
    "shotgun=127\r\nrifle=128\r\n\r\n[Other]\r\nrifle=1\r\n";

std::string file_bytes(const char* name) {
  std::ifstream file(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Starts --bind rifle on the player's file and waits for its prompt.
PROCESS_INFORMATION start_binding_rifle(const char* players_file = kPlayersFile) {
  host::write_config(players_file);
  const PROCESS_INFORMATION checker = start_checker("--bind rifle");
  EXPECT_TRUE(checker_says("Press the key for rifle (slot 6)"));
  return checker;
}

// --bind with the keys a player presses: what it says, line by line, and
// the one value of the player's file it changes, which the module's own
// reader then reads.
struct BindCase {
  const char* name;
  const char* arguments;
  std::vector<KeyCode> keys;
  std::vector<std::string> lines;  // whole lines, one after another
  const char* line_before;         // the line of the player's file that changes
  const char* line_after;          // what it is afterwards
  std::size_t row;                 // the category whose code the module then reads
  KeyCode code;
  const char* file = "holsterkeys.ini";
};

void PrintTo(const BindCase& bind, std::ostream* out) { *out << bind.name; }

class Bind : public Checker, public testing::WithParamInterface<BindCase> {};

TEST_P(Bind, WritesThePressedKeyAndNothingElse) {
  std::ofstream(GetParam().file, std::ios::binary) << kPlayersFile;
  const PROCESS_INFORMATION checker = start_checker(GetParam().arguments);
  ASSERT_TRUE(checker_says("Press the key for "));
  for (KeyCode key : GetParam().keys) tap(key);
  const CheckRun run = finish_checker(checker, 5000);
  EXPECT_EQ(run.status, 0u) << run.output;
  EXPECT_TRUE(says_lines(run.output, GetParam().lines));
  std::string expected = kPlayersFile;
  const std::string before = GetParam().line_before;
  expected.replace(expected.find(before), before.size(), GetParam().line_after);
  EXPECT_EQ(file_bytes(GetParam().file), expected);
  const std::string written = full_path_of(GetParam().file);
  const WindowsProfileFile module_reader(written.c_str());
  EXPECT_EQ(read_key_codes(module_reader)[GetParam().row], GetParam().code);
}

constexpr char kWroteInto[] = " into .*\\\\holsterkeys\\.ini\\.";
const BindCase kBindCases[] = {
    // The left mouse button is refused, F is written in hexadecimal, and
    // no other category has F.
    {"PressedKey",
     "--bind rifle",
     {VK_LBUTTON, 'F'},
     {"Not the left mouse button: it fires, so every shot would also switch to rifle\\. Press "
      "another key\\.",
      std::string("Wrote rifle=0x46 \\(F\\)") + kWroteInto, "", "Configuration: .*"},
     "rifle=128",
     "rifle=0x46",
     4,
     0x46},
    // Under Wine, the second press of a dead key comes as 0xFC only.
    {"DeadKeyOnlyAsItsAccent",
     "--bind rifle",
     {0xFC, 'F'},
     {"Not this key: under Wine, a key that puts an accent on the next letter, as \\^ and .* do, "
      "reaches the game only on every second press\\. Press another key\\.",
      std::string("Wrote rifle=0x46 \\(F\\)") + kWroteInto, ""},
     "rifle=128",
     "rifle=0x46",
     4,
     0x46},
    // What the key does beside handguns' is said once, by the report.
    {"KeyOfAnotherCategory",
     "--bind rifle",
     {host::kSpareKeys[0]},
     {"- handguns and rifle are both on 0x7C \\(F13\\): when it is pressed, rifle wins, being "
      "later in the order handguns, machineguns, submachine, shotgun, rifle\\. Give each "
      "category its own key\\."},
     "rifle=128",
     "rifle=0x7C",
     4,
     0x7C},
    // Backspace skips only while walking through every category.
    {"OneCategoryTakesBackspace",
     "--bind rifle",
     {VK_BACK},
     {std::string("Wrote rifle=0x08 \\(Backspace\\)") + kWroteInto, ""},
     "rifle=128",
     "rifle=0x08",
     4,
     0x08},
    {"WalkSkipsWithBackspace",
     "--bind",
     {VK_BACK, VK_ESCAPE},
     {"handguns skipped\\.",
      "Press the key for shotgun \\(slot 3\\); Backspace skips it, or Esc to stop\\..*",
      "Nothing was written; .*\\\\holsterkeys\\.ini is as it was\\."},
     "rifle=128",
     "rifle=128",
     4,
     128},
    // Binds handguns, skips shotgun, stops: handguns is written, and the
    // report follows.
    {"WalkBindsSkipsAndStops",
     "--bind",
     {'F', VK_BACK, VK_ESCAPE},
     {std::string("Wrote handguns=0x46 \\(F\\)") + kWroteInto,
      "Press the key for shotgun \\(slot 3\\); Backspace skips it, or Esc to stop\\..*",
      "shotgun skipped\\.",
      "Press the key for submachine \\(slot 4\\); Backspace skips it, or Esc to stop\\..*", "",
      "Configuration: .*\\\\holsterkeys\\.ini"},
     "handguns=124 ; F13",
     "handguns=0x46 ; F13",
     0,
     0x46},
    // A bare file name with a dot in it is the file, not a category.
    {"BareFileNameWithADot",
     "--bind keys.v2.ini",
     {'F', VK_ESCAPE},
     {"Wrote handguns=0x46 \\(F\\) into .*\\\\keys\\.v2\\.ini\\."},
     "handguns=124 ; F13",
     "handguns=0x46 ; F13",
     0,
     0x46,
     "keys.v2.ini"},
};

INSTANTIATE_TEST_SUITE_P(Keys, Bind, testing::ValuesIn(kBindCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The binding was written: that is success, whatever else the file holds,
// and the rest of the file's findings are shown.
TEST_F(Checker, BindSucceedsBesideOtherFindings) {
  const PROCESS_INFORMATION checker = start_binding_rifle("[Bindings]\r\nhandguns=F2\r\n");
  tap('F');
  const CheckRun run = finish_checker(checker, 5000);
  EXPECT_EQ(run.status, 0u) << run.output;
  EXPECT_NE(run.output.find("Wrote rifle=0x46"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("Write handguns=0x71 for F2"), std::string::npos) << run.output;
}

TEST_F(Checker, BindCancelledWithEscChangesNothing) {
  const PROCESS_INFORMATION checker = start_binding_rifle();
  tap(VK_ESCAPE);
  const CheckRun run = finish_checker(checker, 5000);
  EXPECT_EQ(run.status, 0u) << run.output;
  EXPECT_EQ(file_bytes("holsterkeys.ini"), kPlayersFile);
}

TEST_F(Checker, BindRefusesAReadOnlyFile) {
  const PROCESS_INFORMATION checker = start_binding_rifle();
  SetFileAttributesA("holsterkeys.ini", FILE_ATTRIBUTE_READONLY);
  tap('F');
  const CheckRun run = finish_checker(checker, 5000);
  SetFileAttributesA("holsterkeys.ini", FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(run.status, 1u) << run.output;
  EXPECT_NE(run.output.find("The file is read-only"), std::string::npos) << run.output;
  EXPECT_EQ(file_bytes("holsterkeys.ini"), kPlayersFile);
}

// The writer that --bind and the setup window share, given the file's
// bytes as the player was shown them (empty for no file): a file that has
// changed since, been made or been removed is left as it is, and so is one
// that cannot be written as it is; a written one keeps its attributes, and
// a failed write leaves nothing behind.
struct WriterCase {
  const char* name;
  std::optional<std::string> on_disk;  // nothing: no file
  std::string shown;
  std::optional<WriteRefusal::Problem> refused;
  std::optional<std::string> after;
  DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;  // of the file, before and after
  bool folder = false;                        // holsterkeys.ini is a folder
  bool locked = false;                        // another program holds it open
};

void PrintTo(const WriterCase& writer, std::ostream* out) { *out << writer.name; }

class Writer : public Checker, public testing::WithParamInterface<WriterCase> {};

// The files in the current folder but the configuration.
std::vector<std::string> other_files() {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA("*", &found);
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
    const std::string name = found.cFileName;
    if (name != "." && name != ".." && name != "holsterkeys.ini") names.push_back(name);
  }
  FindClose(search);
  return names;
}

TEST_P(Writer, WritesOnlyTheFileAsShown) {
  const WriterCase& writer = GetParam();
  host::remove_config();
  if (writer.on_disk) host::write_config(*writer.on_disk);
  if (writer.folder) CreateDirectoryA("holsterkeys.ini", nullptr);
  SetFileAttributesA("holsterkeys.ini", writer.attributes);
  HANDLE held = writer.locked ? CreateFileA("holsterkeys.ini", GENERIC_READ, FILE_SHARE_READ,
                                            nullptr, OPEN_EXISTING, 0, nullptr)
                              : INVALID_HANDLE_VALUE;
  const std::string location = full_path_of("holsterkeys.ini");
  const auto refusal = write_value(location, kCategories[4], "0x46", writer.shown);
  EXPECT_EQ(refusal ? std::optional(refusal->problem) : std::nullopt, writer.refused);
  if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
  const DWORD attributes = GetFileAttributesA("holsterkeys.ini");
  if (writer.folder) {
    EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    RemoveDirectoryA("holsterkeys.ini");
  } else if (attributes != INVALID_FILE_ATTRIBUTES) {
    EXPECT_EQ(attributes, writer.attributes);
    SetFileAttributesA("holsterkeys.ini", FILE_ATTRIBUTE_NORMAL);
  }
  const bool there = attributes != INVALID_FILE_ATTRIBUTES && !writer.folder;
  EXPECT_EQ(there ? std::optional(file_bytes("holsterkeys.ini")) : std::nullopt, writer.after);
  EXPECT_EQ(other_files(), std::vector<std::string>{});
}

using Problem = WriteRefusal::Problem;
constexpr auto kChanged = Problem::kChangedSinceShown;
constexpr auto kEncodings = Problem::kEncodingReadApart;
constexpr char kRifle66[] = "[Bindings]\r\nrifle=0x66\r\n";
const std::string kBigEndian("\xFE\xFF\0[\0B\0i\0n\0d\0i\0n\0g\0s\0]\0\r\0\n", 26);
const std::string kMarkAndTwoSections =
    "\xEF\xBB\xBF[Bindings]\r\nrifle=0x66\r\n[Bindings]\r\nhandguns=0x62\r\n";
const WriterCase kWriterCases[] = {
    {"AsShown", kRifle66, kRifle66, std::nullopt, "[Bindings]\r\nrifle=0x46\r\n"},
    {"ChangedSinceShown", kRifle66, "[Bindings]\r\nrifle=0x65\r\n", kChanged, kRifle66},
    {"MadeSinceShown", kRifle66, "", kChanged, kRifle66},
    {"RemovedSinceShown", std::nullopt, kRifle66, kChanged, std::nullopt},
    {"NoFileAsShown", std::nullopt, "", std::nullopt,
     "; holsterkeys: the key code of each weapon category. Check it with holsterkeys-check.\r\n"
     "[Bindings]\r\nrifle=0x46\r\n"},
    {"KeepsHiddenAndArchive", kRifle66, kRifle66, std::nullopt, "[Bindings]\r\nrifle=0x46\r\n",
     FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE},
    {"FolderNamedLikeTheFile", std::nullopt, "", Problem::kFolder, std::nullopt,
     FILE_ATTRIBUTE_DIRECTORY, true},
    {"Utf16BigEndian", kBigEndian, kBigEndian, kEncodings, kBigEndian},
    {"Utf8MarkBeforeTwoSections", kMarkAndTwoSections, kMarkAndTwoSections, kEncodings,
     kMarkAndTwoSections},
    {"LockedByAnotherProgram", kRifle66, kRifle66, Problem::kLocked, kRifle66,
     FILE_ATTRIBUTE_ARCHIVE, false, true},
};

INSTANTIATE_TEST_SUITE_P(Files, Writer, testing::ValuesIn(kWriterCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A game in a folder that only administrators may change reads Windows'
// VirtualStore copy of its file where there is one. The checker reads and
// shows the file the game reads, says so where the two differ, and --bind
// writes into it.
struct VirtualStoreCase {
  const char* name;
  bool in_program_files;            // else in the test's own folder
  std::optional<std::string> copy;  // in VirtualStore: nothing for none
  bool said;
  const char* rifle;  // rifle's code as the rows show it
  bool copy_written;  // --bind writes into the copy, else into the file
};

void PrintTo(const VirtualStoreCase& store, std::ostream* out) { *out << store.name; }

std::string environment(const char* name) {
  char value[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length < sizeof value ? std::string(value, length) : std::string();
}

void make_folders(const std::string& path) {
  for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
    CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
  }
  CreateDirectoryA(path.c_str(), nullptr);
}

class VirtualStoreCopy : public Checker, public testing::WithParamInterface<VirtualStoreCase> {
 protected:
  void SetUp() override {
    Checker::SetUp();
    const std::string parent =
        GetParam().in_program_files ? environment("ProgramFiles") : full_path_of(".");
    game_ = parent + "\\hk-" + GetParam().name;
    copy_ = environment("LOCALAPPDATA") + "\\VirtualStore" + game_.substr(2);
    make_folders(game_);
    std::ofstream(file(), std::ios::binary) << kPlayersFile;
    if (GetParam().copy) {
      make_folders(copy_);
      std::ofstream(copy(), std::ios::binary) << *GetParam().copy;
    }
  }
  void TearDown() override {
    DeleteFileA(file().c_str());
    DeleteFileA(copy().c_str());
    RemoveDirectoryA(game_.c_str());
    RemoveDirectoryA(copy_.c_str());
    Checker::TearDown();
  }
  std::string file() const { return game_ + "\\holsterkeys.ini"; }
  std::string copy() const { return copy_ + "\\holsterkeys.ini"; }
  std::string game_;
  std::string copy_;
};

TEST_P(VirtualStoreCopy, IsReadShownAndWrittenAsTheGameReadsIt) {
  const CheckRun run = run_checker("\"" + game_ + "\"");
  EXPECT_EQ(run.output.find("Windows gives it a copy of " + file()) != std::string::npos,
            GetParam().said)
      << run.output;
  EXPECT_TRUE(says_lines(run.output, {std::string("rifle +6 .* ") + GetParam().rifle + " .*"}));

  const std::string before = file_bytes(file().c_str());
  const std::string copy_before = file_bytes(copy().c_str());
  const PROCESS_INFORMATION checker = start_checker("--bind rifle \"" + game_ + "\"");
  ASSERT_TRUE(checker_says("Press the key for rifle (slot 6)"));
  tap('F');
  const CheckRun bound = finish_checker(checker, 5000);
  EXPECT_EQ(bound.status, 0u) << bound.output;
  const std::string written = GetParam().copy_written ? copy() : file();
  EXPECT_NE(bound.output.find("Wrote rifle=0x46 (F) into " + written + "."), std::string::npos)
      << bound.output;
  EXPECT_EQ(
      bound.output.find("The change went into the copy that the game reads") != std::string::npos,
      GetParam().copy_written)
      << bound.output;
  const std::string after = file_bytes(written.c_str());
  EXPECT_NE(after.find("rifle=0x46"), std::string::npos) << after;
  EXPECT_EQ(file_bytes(GetParam().copy_written ? file().c_str() : copy().c_str()),
            GetParam().copy_written ? before : copy_before);
}

constexpr char kCopyRifle7A[] = "[Bindings]\r\nrifle=0x7A\r\n";
const VirtualStoreCase kVirtualStoreCases[] = {
    {"CopyThatDiffers", true, kCopyRifle7A, true, "0x7A \\(122\\)", true},
    {"CopyTheSame", true, kPlayersFile, false, "0x80 \\(128\\)", true},
    {"NoCopy", true, std::nullopt, false, "0x80 \\(128\\)", false},
    {"FolderNotVirtualised", false, kCopyRifle7A, false, "0x80 \\(128\\)", false},
};

INSTANTIATE_TEST_SUITE_P(Folders, VirtualStoreCopy, testing::ValuesIn(kVirtualStoreCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A double-clicked checker is alone in a console window that Windows opened
// for it, and its parent is still running: it waits for Enter. This runs
// only where this program has a console, as under a terminal.
TEST_F(Checker, AloneInItsConsoleWaitsForEnter) {
  DWORD processes[2];
  if (GetConsoleProcessList(processes, 2) == 0) GTEST_SKIP() << "no console to share";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  std::string command = "\"" + beside_this_program("holsterkeys-check.exe") + "\"";
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process));
  FreeConsole();
  const bool waited = WaitForSingleObject(process.hProcess, 3000) == WAIT_TIMEOUT;
  // Enter, typed into the checker's console.
  AttachConsole(process.dwProcessId);
  INPUT_RECORD keys[2]{};
  for (int i = 0; i < 2; ++i) {
    keys[i].EventType = KEY_EVENT;
    keys[i].Event.KeyEvent = {i == 0, 1, VK_RETURN, 0, {'\r'}, 0};
  }
  DWORD written;
  WriteConsoleInputA(GetStdHandle(STD_INPUT_HANDLE), keys, 2, &written);
  const bool ended = WaitForSingleObject(process.hProcess, 5000) == WAIT_OBJECT_0;
  TerminateProcess(process.hProcess, 99);
  EXPECT_TRUE(waited) << "the checker did not wait";
  EXPECT_TRUE(ended) << "Enter did not end it";
}

}  // namespace
}  // namespace holsterkeys

// Started by a test as a game: loads the module when its input gives a
// line, and ends when its input ends.
int load_when_told() {
  std::printf("started\n");
  std::fflush(stdout);
  std::getchar();
  if (holsterkeys::host::load_module() == nullptr) return 1;
  std::printf("loaded\n");
  std::fflush(stdout);
  while (std::getchar() != EOF) {
  }
  holsterkeys::host::exit_host(0);
}

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--load-when-told") return load_when_told();
  testing::InitGoogleTest(&argc, argv);
  holsterkeys::host::exit_host(RUN_ALL_TESTS());
}
