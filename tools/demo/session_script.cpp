#include "tools/demo/session_script.h"

#include <sstream>

#include "bindings/category_names.h"
#include "keys/key_names.h"
#include "text/say.h"

namespace holsterkeys {
namespace {

using Words = std::vector<std::string>;

constexpr int kDefaultTapMs = 40;
constexpr int kLongestWaitMs = 60000;

std::string category_choice() {
  return "CATEGORY one of " + listed(category_names(), Joining::kOr);
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

// "wait MS"; an error message when the words do not fit.
std::string parse_wait(const Words& words, SessionStep& step) {
  const auto ms = words.size() == 2 ? milliseconds(words[1]) : std::nullopt;
  if (!ms) return "expected 'wait MILLISECONDS' (0 to 60000), such as 'wait 300'";
  step.action = SessionStep::Action::kWait;
  step.milliseconds = *ms;
  return {};
}

// "set CATEGORY VALUE".
std::string parse_set(const Words& words, SessionStep& step) {
  step.category = words.size() == 3 ? category_named(words[1]) : nullptr;
  if (step.category == nullptr) {
    return "expected 'set CATEGORY VALUE' with " + category_choice() +
           ", such as 'set shotgun 0x34'";
  }
  step.action = SessionStep::Action::kSet;
  step.value = words[2];
  return {};
}

// "press KEY", "release KEY" or "tap KEY [MS]", where KEY is a category or a key.
std::string parse_key_step(const Words& words, SessionStep& step) {
  const std::string& command = words[0];
  const bool tap = command == "tap";
  step.action = tap                  ? SessionStep::Action::kTap
                : command == "press" ? SessionStep::Action::kPress
                                     : SessionStep::Action::kRelease;
  const std::string target = words.size() > 1 ? words[1] : "";
  step.category = category_named(target);
  if (step.category == nullptr) step.key = key_named(target);
  const std::size_t most_words = tap ? 3 : 2;
  const auto hold =
      tap && words.size() == 3 ? milliseconds(words[2]) : std::optional(kDefaultTapMs);
  if (words.size() < 2 || words.size() > most_words || (!step.category && !step.key) || !hold) {
    return "expected '" + command + " CATEGORY' with " + category_choice() +
           ", or a key code such as 0x41" + (tap ? ", then optionally how many ms to hold it" : "");
  }
  step.milliseconds = *hold;
  return {};
}

// Parses one line's words into `step`; an error message when they do not fit.
std::string parse_step(const Words& words, SessionStep& step) {
  const std::string& command = words[0];
  if (command == "wait") return parse_wait(words, step);
  if (command == "set") return parse_set(words, step);
  if (command == "press" || command == "release" || command == "tap") {
    return parse_key_step(words, step);
  }
  return "unknown command '" + command + "'; expected press, release, tap, wait or set";
}

}  // namespace

SessionScript parse_session_script(std::string_view text) {
  SessionScript script;
  std::istringstream lines{std::string(text)};
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    std::istringstream split(line);
    Words words;
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
