// Away from Windows there are no key states and no game processes to ask.
#include "text/say.h"
#include "tools/check/console.h"
#include "tools/check/live.h"

namespace holsterkeys {
namespace {

int needs_windows(const char* mode) {
  print_error_text("holsterkeys-check: " +
                   say("{option} needs Windows or Wine: run holsterkeys-check.exe there.",
                       fact<Fact::kOption>(mode)) +
                   "\n");
  return 2;
}

}  // namespace

int watch_keys() { return needs_windows("--keys"); }
int list_running() { return needs_windows("--running"); }
int bind_by_pressing(const Category*, const char*) { return needs_windows("--bind"); }

}  // namespace holsterkeys
