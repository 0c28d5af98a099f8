// holsterkeys-check.exe as players run it, on the real Windows API: this
// program starts it, holds files, presses keys and plays the game it looks
// for.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <string>

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

// Starts the checker in the current folder with its output in a file.
PROCESS_INFORMATION start_checker(const std::string& arguments) {
  HANDLE output = inheritable_file("check-output.txt", GENERIC_WRITE, CREATE_ALWAYS);
  HANDLE input = inheritable_file("NUL", GENERIC_READ, OPEN_EXISTING);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input;
  startup.hStdOutput = startup.hStdError = output;
  std::string command = "\"" + beside_this_program("holsterkeys-check.exe") + "\" " + arguments;
  PROCESS_INFORMATION process{};
  CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                 &process);
  CloseHandle(output);
  CloseHandle(input);
  return process;
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

// Waits until the checker has said `text`.
bool checker_says(const std::string& text, DWORD timeout_ms = 15000) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  while (checker_output().find(text) == std::string::npos) {
    if (GetTickCount64() > deadline) return false;
    Sleep(20);
  }
  return true;
}

// Some line of the output matches `pattern`.
testing::AssertionResult says_on_one_line(const std::string& output, const std::string& pattern) {
  if (std::regex_search(output, std::regex(pattern))) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "no line matches " << pattern << " in\n" << output;
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

// The game with the module loaded is listed with its slot value and the
// folder where the module looks for its configuration.
TEST_F(Checker, RunningListsTheHostWithItsSlot) {
  ASSERT_NE(host::load_module(beside_this_program("holsterkeys.dll").c_str()), nullptr);
  host::slot_variable() = 4;
  const CheckRun run = run_checker("--running");
  EXPECT_EQ(run.status, 0u) << run.output;
  const std::string process = "Process " + std::to_string(GetCurrentProcessId()) + ": ";
  EXPECT_NE(run.output.find(process), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("0x00B7CDBC: 4, a slot number"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("holsterkeys.ini: it is there."), std::string::npos) << run.output;
}

TEST_F(Checker, RunningWithoutTheModuleSaysHowToLoadIt) {
  ASSERT_EQ(GetModuleHandleA("holsterkeys.dll"), nullptr) << "module loaded by an earlier test";
  const CheckRun run = run_checker("--running");
  EXPECT_EQ(run.status, 1u) << run.output;
  EXPECT_NE(run.output.find("No running program has holsterkeys loaded"), std::string::npos)
      << run.output;
}

// Keys pressed in another program show with their code, name and what the
// module does with them; Esc ends.
TEST_F(Checker, KeysShowsEachPressUntilEsc) {
  const PROCESS_INFORMATION checker = start_checker("--keys");
  ASSERT_TRUE(checker_says("Esc or Ctrl+C ends"));
  tap(host::kSpareKeys[0]);
  tap(0x81);
  ASSERT_TRUE(checker_says("0x81"));
  tap(VK_ESCAPE);
  const CheckRun run = finish_checker(checker, 5000);
  EXPECT_EQ(run.status, 0u) << run.output;
  EXPECT_TRUE(says_on_one_line(run.output, "0x7C \\(124\\) +F13 +handguns -> slot 2"));
  EXPECT_TRUE(says_on_one_line(run.output,
                               "0x81 \\(129\\) +F18 +not bound; to bind it, write "
                               "handguns=0x81"));
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

// The left mouse button is refused, F is written in hexadecimal, and every
// other byte stays; the module's own reader then reads F for rifle.
TEST_F(Checker, BindWritesThePressedKeyAndNothingElse) {
  const PROCESS_INFORMATION checker = start_binding_rifle();
  tap(VK_LBUTTON);
  ASSERT_TRUE(checker_says("Not the left mouse button: it fires"));
  tap('F');
  const CheckRun run = finish_checker(checker, 5000);
  EXPECT_EQ(run.status, 0u) << run.output;
  std::string expected = kPlayersFile;
  expected.replace(expected.find("rifle=128"), 9, "rifle=0x46");
  EXPECT_EQ(file_bytes("holsterkeys.ini"), expected);
  const WindowsProfileFile module_reader;
  EXPECT_EQ(read_key_codes(module_reader)[4], 0x46);
}

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
  EXPECT_NE(run.output.find("the file is read-only"), std::string::npos) << run.output;
  EXPECT_EQ(file_bytes("holsterkeys.ini"), kPlayersFile);
}

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

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  holsterkeys::host::exit_host(RUN_ALL_TESTS());
}
