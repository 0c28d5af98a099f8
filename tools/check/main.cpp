// holsterkeys-check: shows the configuration as the module sees it, and
// says in plain words what keeps a binding from working.
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

#include "tools/check/config_file.h"
#include "tools/check/console.h"
#include "tools/check/diagnosis.h"
#include "tools/check/live.h"
#include "tools/check/report.h"

// On Windows the platform's own profile reader answers, as in the module.
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "module/windows_profile_file.h"
using ConfigReader = holsterkeys::WindowsProfileFile;
#else
#include "bindings/profile_file.h"
using ConfigReader = holsterkeys::ProfileFile;
#endif

using namespace holsterkeys;

namespace {

constexpr char kUsage[] =
    "Usage: holsterkeys-check [--tsv] [FILE]\n"
    "       holsterkeys-check --keys | --running\n"
    "\n"
    "Shows the five hotkey bindings as holsterkeys reads them from FILE (by\n"
    "default .\\holsterkeys.ini in the current directory, where the module looks)\n"
    "and explains anything that keeps a binding from working.\n"
    "\n"
    "  --tsv      print five lines for scripts: category, slot, key code, text\n"
    "  --keys     show the code of each key you press and what the module does\n"
    "             with it, until Esc\n"
    "  --running  list the running programs that have the module loaded\n"
    "  --help     show this help (also -h and /?)\n"
    "  --version  show the version\n"
    "\n"
    "Exit status: 0 when every binding is usable or left unbound on purpose,\n"
    "1 when something was found, 2 for a usage error. With --tsv, 0 unless the\n"
    "usage is wrong.\n";

struct Options {
  enum class Mode { kCheck, kTsv, kKeys, kRunning } mode = Mode::kCheck;
  const char* file = nullptr;
};

enum class Parsed { kRun, kHelp, kVersion, kError };

bool asks_for_help(std::string_view arg) { return arg == "--help" || arg == "-h" || arg == "/?"; }

Parsed parse_options(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (asks_for_help(arg)) return Parsed::kHelp;
    if (arg == "--version") return Parsed::kVersion;
    if (arg == "--tsv" || arg == "--keys" || arg == "--running") {
      options.mode = arg == "--tsv"    ? Options::Mode::kTsv
                     : arg == "--keys" ? Options::Mode::kKeys
                                       : Options::Mode::kRunning;
    } else if (arg.starts_with("-") && arg != "-") {
      std::fprintf(stderr, "holsterkeys-check: unknown option %s\n", argv[i]);
      return Parsed::kError;
    } else if (options.file != nullptr) {
      std::fprintf(stderr, "holsterkeys-check: only one FILE can be checked\n");
      return Parsed::kError;
    } else {
      options.file = argv[i];
    }
  }
  return Parsed::kRun;
}

int check_file(const Options& options) {
  // The default path is handed over as the module hands it over.
  const std::string location = full_path(options.file ? options.file : kConfigPath);
  const ConfigReader reader(options.file ? location.c_str() : kConfigPath);
  const BindingReadings readings = read_bindings(reader);
  if (options.mode == Options::Mode::kTsv) {
    print_tsv(readings);
    return 0;
  }
  const Diagnosis diagnosis = diagnose(inspect_config(location), readings);
  print_report(location, readings, diagnosis);
  return diagnosis.findings.empty() ? 0 : 1;
}

int run(int argc, char** argv) {
  Options options;
  switch (parse_options(argc, argv, options)) {
    case Parsed::kHelp:
      std::fputs(kUsage, stdout);
      return 0;
    case Parsed::kVersion:
      std::printf("holsterkeys-check %s\n", HOLSTERKEYS_VERSION);
      return 0;
    case Parsed::kError:
      std::fputs(kUsage, stderr);
      return 2;
    case Parsed::kRun:
      break;
  }
  switch (options.mode) {
    case Options::Mode::kKeys:
      return watch_keys();
    case Options::Mode::kRunning:
      return list_running();
    default:
      return check_file(options);
  }
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // The same bytes on every platform: no CR added before each LF.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  int status = 1;
  // Whatever the folder holds, the player gets a sentence and 0, 1 or 2.
  try {
    status = run(argc, argv);
  } catch (const std::exception& error) {
    std::printf("holsterkeys-check could not finish: %s\n", error.what());
  }
  keep_own_console_open();
  return status;
}
