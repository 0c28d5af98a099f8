#include <gtest/gtest.h>

#include <string>

#include "tests/case_name.h"
#include "tools/demo/session_script.h"

namespace holsterkeys {
namespace {

using Action = SessionStep::Action;

TEST(SessionScript, ReadsEveryKindOfStep) {
  const SessionScript script = parse_session_script(
      "# a comment\n"
      "\n"
      "press shotgun\n"
      "  release   shotgun  \r\n"
      "tap rifle\n"
      "tap rifle 120\n"
      "press 0x41\n"
      "press F5\n"
      "wait 300\n"
      "set shotgun 0x34\n"
      "press Rifle\n");
  ASSERT_TRUE(script.errors.empty()) << script.errors[0];
  ASSERT_EQ(script.steps.size(), 9u);
  EXPECT_EQ(script.steps[0].action, Action::kPress);
  EXPECT_STREQ(script.steps[0].category->name, "shotgun");
  EXPECT_EQ(script.steps[0].line, 3);
  EXPECT_EQ(script.steps[1].action, Action::kRelease);
  EXPECT_EQ(script.steps[2].action, Action::kTap);
  EXPECT_EQ(script.steps[2].milliseconds, 40);
  EXPECT_EQ(script.steps[3].milliseconds, 120);
  EXPECT_EQ(script.steps[4].key, 0x41);
  EXPECT_EQ(script.steps[5].key, 0x74);
  EXPECT_EQ(script.steps[6].action, Action::kWait);
  EXPECT_EQ(script.steps[6].milliseconds, 300);
  EXPECT_EQ(script.steps[7].action, Action::kSet);
  EXPECT_EQ(script.steps[7].value, "0x34");
  // Category names compare without case, as in the configuration.
  EXPECT_STREQ(script.steps[8].category->name, "rifle");
}

struct BadLineCase {
  const char* name;
  const char* line;
  const char* expected;  // part of the error message
};

void PrintTo(const BadLineCase& bad, std::ostream* out) { *out << bad.name; }

class BadScriptLine : public testing::TestWithParam<BadLineCase> {};

TEST_P(BadScriptLine, IsReportedWithItsLineNumber) {
  const SessionScript script = parse_session_script(std::string("wait 10\n") + GetParam().line);
  ASSERT_EQ(script.errors.size(), 1u);
  EXPECT_EQ(script.errors[0].rfind("line 2: ", 0), 0u) << script.errors[0];
  EXPECT_NE(script.errors[0].find(GetParam().expected), std::string::npos) << script.errors[0];
}

const BadLineCase kBadScriptLineCases[] = {
    {"UnknownCommand", "hold rifle", "unknown command 'hold'"},
    {"UnknownCategory", "press shotguns", "expected 'press CATEGORY'"},
    {"MissingCategory", "release", "expected 'release CATEGORY'"},
    {"ExtraWord", "press rifle now", "expected 'press CATEGORY'"},
    {"KeyCodeOutOfRange", "press 300", "expected 'press CATEGORY'"},
    {"TapHoldNotANumber", "tap rifle long", "expected 'tap CATEGORY'"},
    {"WaitWithoutTime", "wait", "expected 'wait MILLISECONDS'"},
    {"WaitNegative", "wait -5", "expected 'wait MILLISECONDS'"},
    {"WaitTooLong", "wait 9999999", "expected 'wait MILLISECONDS'"},
    {"SetWithoutValue", "set rifle", "expected 'set CATEGORY VALUE'"},
    {"SetUnknownCategory", "set knife 0x31", "expected 'set CATEGORY VALUE'"},
};

INSTANTIATE_TEST_SUITE_P(Lines, BadScriptLine, testing::ValuesIn(kBadScriptLineCases), CaseName());

}  // namespace
}  // namespace holsterkeys
