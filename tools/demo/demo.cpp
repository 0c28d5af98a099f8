// holsterkeys-demo: the module at work in the stand-in host, without the
// game. It plays a session (built in, or a script file), pressing keys as a
// player would, and prints what the host sees in its slot variable.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "bindings/profile_edit.h"
#include "bindings/profile_file.h"
#include "keys/key_names.h"
#include "module/windows_profile_file.h"
#include "selector/selection_cycle.h"
#include "tools/demo/session_script.h"
#include "tools/host/stand_in_host.h"

using namespace holsterkeys;

namespace {

constexpr char kBuiltInSession[] = R"(# Each category in turn.
wait 300
press handguns
wait 250
release handguns
press machineguns
wait 250
release machineguns
press submachine
wait 250
release submachine
press shotgun
wait 250
release shotgun
press rifle
wait 250
release rifle
# Two keys held together: the rifle wins over the shotgun.
press shotgun
wait 150
press rifle
wait 300
release rifle
release shotgun
# A short tap.
tap handguns 40
wait 250
# Rebind the shotgun to F5 while running, then use it.
set shotgun 0x74
wait 250
press shotgun
wait 250
release shotgun
# The shotgun's old key is no longer bound.
press 0x63
wait 250
release 0x63
)";

// How long a press may take to reach the slot: one period plus the cycle.
constexpr unsigned kStoreTimeoutMs = 300;
constexpr std::int32_t kHostValue = 0;

class Session {
 public:
  explicit Session(ULONGLONG start) : start_(start) {}

  void run(const SessionStep& step);
  int summarise() const;

 private:
  KeyCode key_of(const SessionStep& step) const;
  std::optional<SlotNumber> expected_slot() const;
  void press(KeyCode key, const std::string& event, int hold_ms);
  void expect_no_store(const std::string& event);
  void expect_store(SlotNumber expected, ULONGLONG pressed, const std::string& event);
  void release(KeyCode key, const std::string& event);
  void set_binding(const Category& category, const std::string& value);
  void print(const std::string& event, const std::string& outcome) const;

  ULONGLONG start_;
  std::set<KeyCode> held_;
  std::vector<unsigned> delays_;
  std::set<SlotNumber> slots_seen_;
  int presses_ = 0;
  int unmet_ = 0;
};

std::string key_text(KeyCode key) {
  const std::string name = key_name(key);
  return name.empty() ? hex_code(key) : hex_code(key) + " " + name;
}

KeyCode Session::key_of(const SessionStep& step) const {
  if (step.key) return *step.key;
  const WindowsProfileFile config;
  const KeyCodes codes = read_key_codes(config);
  return codes[row_of(*step.category)];
}

// What the module's own cycle stores for the keys now held.
std::optional<SlotNumber> Session::expected_slot() const {
  const WindowsProfileFile config;
  return cycle_outcome(config, [this](KeyCode code) { return held_.contains(code) ? 0x8000 : 0; });
}

void Session::print(const std::string& event, const std::string& outcome) const {
  const double seconds = static_cast<double>(GetTickCount64() - start_) / 1000.0;
  std::printf("%7.3f  %-40s slot %2d  %s\n", seconds, event.c_str(),
              static_cast<int>(host::slot_variable()), outcome.c_str());
  std::fflush(stdout);
}

// The host puts its own value back before each press, so every store shows.
void Session::press(KeyCode key, const std::string& event, int hold_ms) {
  ++presses_;
  host::slot_variable() = kHostValue;
  held_.insert(key);
  const std::optional<SlotNumber> expected = expected_slot();
  const ULONGLONG pressed = GetTickCount64();
  host::press_key(key);
  if (hold_ms > 0) {
    Sleep(static_cast<DWORD>(hold_ms));
    host::release_key(key);
    held_.erase(key);
  }
  if (expected) {
    expect_store(*expected, pressed, event);
  } else {
    expect_no_store(event);
  }
}

void Session::expect_no_store(const std::string& event) {
  Sleep(kStoreTimeoutMs);
  const bool untouched = host::slot_variable() == kHostValue;
  unmet_ += untouched ? 0 : 1;
  print(event, untouched ? "not bound: nothing stored" : "UNEXPECTED store");
}

void Session::expect_store(SlotNumber expected, ULONGLONG pressed, const std::string& event) {
  const ULONGLONG waited = std::min<ULONGLONG>(kStoreTimeoutMs, GetTickCount64() - pressed);
  if (host::slot_variable() == expected ||
      host::wait_for_slot(expected, static_cast<unsigned>(kStoreTimeoutMs - waited))) {
    const auto delay = static_cast<unsigned>(GetTickCount64() - pressed);
    delays_.push_back(delay);
    slots_seen_.insert(expected);
    print(event, "stored after " + std::to_string(delay) + " ms");
  } else {
    ++unmet_;
    print(event, "MISSED: no store of " + std::to_string(expected) + " within " +
                     std::to_string(kStoreTimeoutMs) + " ms");
  }
}

void Session::release(KeyCode key, const std::string& event) {
  host::release_key(key);
  held_.erase(key);
  print(event, "");
}

// Rewrites the category's value in the file as a player would.
void Session::set_binding(const Category& category, const std::string& value) {
  std::string bytes;
  read_file_bytes(kConfigPath, bytes);
  host::write_config(with_binding(bytes, category, value));
  print("set " + std::string(category.name) + "=" + value + " (file saved)", "");
}

void Session::run(const SessionStep& step) {
  switch (step.action) {
    case SessionStep::Action::kWait:
      Sleep(static_cast<DWORD>(step.milliseconds));
      return;
    case SessionStep::Action::kSet:
      set_binding(*step.category, step.value);
      return;
    default:
      break;
  }
  const KeyCode key = key_of(step);
  // A category whose value names no key has nothing to press.
  if (!is_key_code(key)) {
    print(std::string(step.category->name) + " (not bound)", "nothing to press");
    return;
  }
  const std::string what =
      (step.category ? std::string(step.category->name) + " " : "") + "(" + key_text(key) + ")";
  if (step.action == SessionStep::Action::kRelease) {
    release(key, "release " + what);
  } else if (step.action == SessionStep::Action::kTap) {
    press(key, "tap " + what + " for " + std::to_string(step.milliseconds) + " ms",
          step.milliseconds);
  } else {
    press(key, "press " + what, 0);
  }
}

int Session::summarise() const {
  std::vector<unsigned> sorted = delays_;
  std::sort(sorted.begin(), sorted.end());
  std::string slots;
  for (SlotNumber slot : slots_seen_) slots += " " + std::to_string(slot);
  std::printf("\nSummary: %d presses, %zu stores seen (slots%s), %d not as expected", presses_,
              delays_.size(), slots.empty() ? " none" : slots.c_str(), unmet_);
  if (!sorted.empty()) {
    std::printf("; press-to-store median %u ms, max %u ms", sorted[sorted.size() / 2],
                sorted.back());
  }
  std::printf(".\n");
  return unmet_ == 0 ? 0 : 1;
}

std::string read_script(int argc, char** argv) {
  if (argc < 2) return kBuiltInSession;
  std::ifstream file(argv[1], std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "holsterkeys-demo: cannot read the script %s\n", argv[1]);
    std::exit(2);
  }
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
  const SessionScript script = parse_session_script(read_script(argc, argv));
  for (const std::string& error : script.errors) {
    std::fprintf(stderr, "holsterkeys-demo: %s: %s\n", argc > 1 ? argv[1] : "session",
                 error.c_str());
  }
  if (!script.errors.empty()) return 2;

  host::slot_variable() = kHostValue;
  const ULONGLONG start = GetTickCount64();
  if (host::load_module() == nullptr) return 1;
  std::printf(
      "holsterkeys demo: the stand-in host owns the slot variable at 0x00B7CDBC and\n"
      "has loaded holsterkeys.dll; the host's own value is %d.\n\n",
      kHostValue);
  std::printf("%7s  %-40s %-7s  %s\n", "time s", "event", "slot", "module");
  Session session(start);
  for (const SessionStep& step : script.steps) session.run(step);
  host::exit_host(session.summarise());
}
