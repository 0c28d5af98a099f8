// Fuzzing of the checker's findings: any bytes as the player's file. No
// input may crash the checker, every sentence it says must be whole text
// (valid UTF-8 without a control character), whatever the file holds, and
// every line it proposes must work when followed, and every sentence on
// which keys select a category must follow from the module's cycle.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "advice/diagnosis.h"
#include "advice/finding_text.h"
#include "bindings/profile_file.h"
#include "tests/advice_holds.h"
#include "tests/whole_text.h"

namespace {

using namespace holsterkeys;

void expect_printable(const Diagnosis& diagnosis) {
  for (const Finding& finding : diagnosis.found) {
    const std::string sentence = text_of(finding);
    if (sentence.empty() || !is_whole_text(sentence)) {
      std::fprintf(stderr, "a finding that is not whole text: %s\n", sentence.c_str());
      std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ConfigFile file;
  file.location = "C:\\game\\holsterkeys.ini";
  file.state = ConfigFile::State::kRead;
  file.bytes.assign(reinterpret_cast<const char*>(data), size);
  const ProfileBytes reader(file.bytes, ProfileDialect::kWindows);
  const BindingReadings readings = read_bindings(reader);
  const Diagnosis diagnosis = diagnose(file, readings);
  expect_printable(diagnosis);
  for (const std::string& failure : failed_proposals(file, diagnosis)) {
    std::fprintf(stderr, "a proposed line fails when followed: %s\n", failure.c_str());
    std::abort();
  }
  for (const std::string& claim : false_selection_claims(readings, diagnosis)) {
    std::fprintf(stderr, "a sentence on which keys select a category is false: %s\n",
                 claim.c_str());
    std::abort();
  }
  return 0;
}
