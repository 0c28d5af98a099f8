// holsterkeys-check: shows the configuration as the module sees it, and
// says in plain words what keeps a binding from working.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "advice/module_view.h"
#include "bindings/category_names.h"
#include "keys/player_text.h"
#include "text/say.h"
#include "tools/check/console.h"
#include "tools/check/file_check.h"
#include "tools/check/live.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "keys/key_names.h"
#include "live/layout_label.h"
#endif

using namespace holsterkeys;

namespace {

std::string usage() {
  return say(
      "Usage: holsterkeys-check [--tsv] [FILE]\n"
      "       holsterkeys-check --bind [CATEGORY] [FILE]\n"
      "       holsterkeys-check --keys | --running\n"
      "\n"
      "Shows the five hotkey bindings as holsterkeys reads them from FILE (by\n"
      "default .\\holsterkeys.ini in the current directory, where the module looks;\n"
      "for a folder, the holsterkeys.ini in it) and explains anything that keeps a\n"
      "binding from working.\n"
      "\n"
      "  --tsv      print five lines for scripts: category, slot, key code, text\n"
      "  --bind     bind CATEGORY (or each category in turn) to the next key you\n"
      "             press, written into FILE; Esc cancels, Backspace skips\n"
      "  --keys     show the code of each key you press and what the module does\n"
      "             with it, until Esc\n"
      "  --running  list the running programs that have the module loaded\n"
      "  --language CODE  speak another language than Windows' own:\n"
      "             {names}\n"
      "  --help     show this help (also -h and /?)\n"
      "  --version  show the version\n"
      "\n"
      "Exit status: 0 when every binding is usable or left unbound on purpose,\n"
      "1 when something was found, 2 for a usage error. With --tsv, 0 unless the\n"
      "usage is wrong. With --bind, 0 once the key is written.\n",
      fact<Fact::kNames>(listed(languages(), Joining::kSequence)));
}

// A usage error, on the error output.
void print_error(const std::string& sentence) {
  print_error_text("holsterkeys-check: " + sentence + "\n");
}

struct Options {
  enum class Mode { kCheck, kTsv, kKeys, kRunning, kBind } mode = Mode::kCheck;
  const char* file = nullptr;
  const Category* category = nullptr;  // --bind: one category, or all in slot order
};

enum class Parsed { kRun, kHelp, kVersion, kError };

using Mode = Options::Mode;
constexpr std::pair<std::string_view, Mode> kModeOptions[] = {{"--tsv", Mode::kTsv},
                                                              {"--keys", Mode::kKeys},
                                                              {"--running", Mode::kRunning},
                                                              {"--bind", Mode::kBind}};

std::optional<Mode> mode_named(std::string_view arg) {
  for (const auto& [name, mode] : kModeOptions) {
    if (arg == name) return mode;
  }
  return std::nullopt;
}

// After --bind, a word without a dot or a folder separator is a category.
bool is_category_word(const char* arg) {
  return arg != nullptr && arg[0] != '-' &&
         std::string_view(arg).find_first_of(".\\/") == std::string_view::npos;
}

// Takes the category after --bind, if one is given; false for an unknown one.
bool take_category(int argc, char** argv, int& i, Options& options) {
  if (i + 1 >= argc || !is_category_word(argv[i + 1])) return true;
  const char* word = argv[++i];
  options.category = category_named(word);
  if (options.category != nullptr) return true;
  print_error(say("{name} is not a category; the categories are {categories}.",
                  fact<Fact::kName>(as_utf8(word)),
                  fact<Fact::kCategories>(listed(category_names()))));
  return false;
}

bool asks_for_help(std::string_view arg) { return arg == "--help" || arg == "-h" || arg == "/?"; }

Parsed parse_options(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (asks_for_help(arg)) return Parsed::kHelp;
    if (arg == "--version") return Parsed::kVersion;
    if (arg == "--language") {
      ++i;  // chosen before anything is said
      continue;
    }
    if (const auto mode = mode_named(arg)) {
      options.mode = *mode;
      if (*mode == Mode::kBind && !take_category(argc, argv, i, options)) return Parsed::kError;
    } else if (arg.starts_with("-") && arg != "-") {
      print_error(say("unknown option {option}", fact<Fact::kOption>(as_utf8(argv[i]))));
      return Parsed::kError;
    } else if (options.file != nullptr) {
      print_error(say("only one FILE can be checked"));
      return Parsed::kError;
    } else {
      options.file = argv[i];
    }
  }
  return Parsed::kRun;
}

// The language that Windows speaks to the player; elsewhere, the locale's.
std::string system_language() {
#ifdef _WIN32
  return language_of_windows(GetUserDefaultUILanguage());
#else
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* locale = std::getenv(variable);
    if (locale != nullptr && *locale != '\0') return language_named(locale).value_or("en");
  }
  return "en";
#endif
}

// Speaks the language asked for with --language CODE, else the system's;
// false, having said why in English, for a code of no language there is.
bool speak_players_language(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) != "--language") continue;
    const char* asked = i + 1 < argc ? argv[i + 1] : "";
    const auto language = language_named(asked);
    if (!language) {
      print_error(say("unknown language \"{option}\"; the languages are {names}.",
                      fact<Fact::kOption>(as_utf8(asked)),
                      fact<Fact::kNames>(listed(languages(), Joining::kSequence))));
      return false;
    }
    speak(*language);
    return true;
  }
  speak(system_language());
  return true;
}

int run(int argc, char** argv) {
  if (!speak_players_language(argc, argv)) return 2;
  Options options;
  switch (parse_options(argc, argv, options)) {
    case Parsed::kHelp:
      print_text(usage());
      return 0;
    case Parsed::kVersion:
      std::printf("holsterkeys-check %s\n", HOLSTERKEYS_VERSION);
      return 0;
    case Parsed::kError:
      print_error_text(usage());
      return 2;
    case Parsed::kRun:
      break;
  }
  switch (options.mode) {
    case Mode::kKeys:
      return watch_keys();
    case Mode::kRunning:
      return list_running();
    case Mode::kBind:
      return bind_by_pressing(options.category, options.file);
    default:
      return check_file(options.file, options.mode == Mode::kTsv);
  }
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // The same bytes on every platform: no CR added before each LF.
  _setmode(_fileno(stdout), _O_BINARY);
  holsterkeys::label_keys_by_layout(holsterkeys::active_layout_label,
                                    holsterkeys::active_layout_key_name);
#endif
  int status = 1;
  // Whatever the folder holds, the player gets a sentence and 0, 1 or 2.
  try {
    status = run(argc, argv);
  } catch (const std::exception& error) {
    print_text(say("holsterkeys-check could not finish: {reason}", reason(error.what())) + "\n");
  }
  keep_own_console_open();
  return status;
}
