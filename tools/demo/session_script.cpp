#include "tools/demo/session_script.h"

#include <sstream>

#include "tools/check/key_names.h"

namespace holsterkeys {
namespace {

constexpr int kDefaultTapMs = 40;
constexpr int kLongestWaitMs = 60000;
constexpr char kCategories[] = "handguns, machineguns, submachine, shotgun or rifle";

const Binding* category_named(std::string_view name) {
  for (const Binding& binding : kBindings) {
    if (name == binding.key) return &binding;
  }
  return nullptr;
}

// A key given by number (decimal, 0x hexadecimal) or by name ("F5", "A").
std::optional<KeyCode> key_named(std::string_view word) {
  if (!word.empty() && word.front() >= '0' && word.front() <= '9') {
    const KeyCode code = parse_key_code(std::string(word).c_str());
    return code > 0 && code < 0xFF ? std::optional(code) : std::nullopt;
  }
  return key_code_named(word);
}

std::optional<int> milliseconds(const std::string& word) {
  if (word.empty() || word.find_first_not_of("0123456789") != std::string::npos) return {};
  if (word.size() > 5 || std::stoi(word) > kLongestWaitMs) return {};
  return std::stoi(word);
}

// Parses one line's words into `step`; an error message when they do not fit.
std::string parse_step(const std::vector<std::string>& words, SessionStep& step) {
  const std::string& command = words[0];
  const std::string target = words.size() > 1 ? words[1] : "";
  if (command == "wait") {
    const auto ms = words.size() == 2 ? milliseconds(target) : std::nullopt;
    if (!ms) return "expected 'wait MILLISECONDS' (0 to 60000), such as 'wait 300'";
    step.action = SessionStep::Action::kWait;
    step.milliseconds = *ms;
    return {};
  }
  if (command == "set") {
    step.category = category_named(target);
    if (words.size() != 3 || step.category == nullptr) {
      return std::string("expected 'set CATEGORY VALUE' with CATEGORY one of ") + kCategories +
             ", such as 'set shotgun 0x34'";
    }
    step.action = SessionStep::Action::kSet;
    step.value = words[2];
    return {};
  }
  const bool tap = command == "tap";
  if (command != "press" && command != "release" && !tap) {
    return "unknown command '" + command + "'; expected press, release, tap, wait or set";
  }
  step.action = tap ? SessionStep::Action::kTap
                : command == "press" ? SessionStep::Action::kPress
                                     : SessionStep::Action::kRelease;
  step.category = category_named(target);
  if (step.category == nullptr) step.key = key_named(target);
  const std::size_t most_words = tap ? 3 : 2;
  const auto hold = tap && words.size() == 3 ? milliseconds(words[2]) : std::optional(kDefaultTapMs);
  if (words.size() < 2 || words.size() > most_words || (!step.category && !step.key) || !hold) {
    return "expected '" + command + " CATEGORY' with CATEGORY one of " + kCategories +
           ", or a key code such as 0x41" + (tap ? ", then optionally how many ms to hold it" : "");
  }
  step.milliseconds = *hold;
  return {};
}

}  // namespace

SessionScript parse_session_script(std::string_view text) {
  SessionScript script;
  std::istringstream lines{std::string(text)};
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    std::istringstream split(line);
    std::vector<std::string> words;
    for (std::string word; split >> word;) words.push_back(word);
    if (words.empty() || words[0].starts_with("#")) continue;
    SessionStep step;
    step.line = number;
    if (std::string error = parse_step(words, step); !error.empty()) {
      script.errors.push_back("line " + std::to_string(number) + ": " + error);
    } else {
      script.steps.push_back(step);
    }
  }
  return script;
}

}  // namespace holsterkeys
