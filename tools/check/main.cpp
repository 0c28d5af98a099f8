// holsterkeys-check: shows the configuration as the module sees it, and
// says in plain words what keeps a binding from working.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "bindings/profile_file.h"
#include "tools/check/diagnosis.h"
#include "tools/keys/key_names.h"

// On Windows the platform's own profile reader answers, as in the module.
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "module/windows_profile_file.h"
using ConfigReader = holsterkeys::WindowsProfileFile;
#else
#include <filesystem>
using ConfigReader = holsterkeys::ProfileFile;
#endif

using namespace holsterkeys;

namespace {

constexpr char kUsage[] =
    "Usage: holsterkeys-check [--tsv] [FILE]\n"
    "\n"
    "Shows the five hotkey bindings as holsterkeys reads them from FILE (by\n"
    "default .\\holsterkeys.ini in the current directory, where the module looks)\n"
    "and explains anything that keeps a binding from working.\n"
    "\n"
    "  --tsv      print five lines for scripts: category, slot, key code, text\n"
    "  --help     show this help\n"
    "  --version  show the version\n"
    "\n"
    "Exit status: 0 when all five bindings are usable, 1 when something was\n"
    "found, 2 for a usage error. With --tsv, 0 unless the usage is wrong.\n";

struct Options {
  bool tsv = false;
  const char* file = nullptr;
};

enum class Parsed { kRun, kHelp, kVersion, kError };

Parsed parse_options(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") return Parsed::kHelp;
    if (arg == "--version") return Parsed::kVersion;
    if (arg == "--tsv") {
      options.tsv = true;
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

#ifdef _WIN32
// The profile reader looks for a bare file name in the Windows folder, so a
// file named by the player is handed over with its full path.
std::string full_path(const char* path) {
  char full[MAX_PATH];
  const DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
  return length > 0 && length < sizeof full ? full : path;
}
#else
std::string full_path(const char* path) {
  std::string native = path;
  for (char& c : native) c = c == '\\' ? '/' : c;
  return std::filesystem::absolute(native).lexically_normal().string();
}
#endif

void print_tsv(const BindingReadings& readings) {
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    std::printf("%s\t%d\t%d\t%s\n", kCategories[row].name, static_cast<int>(kCategories[row].slot),
                static_cast<int>(readings[row].number.code), readings[row].text.c_str());
  }
}

void print_report(const ConfigFile& file, const BindingReadings& readings,
                  const std::vector<std::string>& findings) {
  std::printf("Configuration: %s\n\n", file.location.c_str());
  std::printf("%-12s %-4s  %-16s %-14s %s\n", "category", "slot", "text", "key code", "key");
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    const BindingReading& reading = readings[row];
    const KeyCode key_code = reading.number.code;
    const std::string name = key_name(key_code);
    // Negative codes are shown in decimal alone; hexadecimal would hide the sign.
    const std::string decimal = std::to_string(key_code);
    const std::string code = key_code < 0 ? decimal : hex_code(key_code) + " (" + decimal + ")";
    std::printf("%-12s %-4d  %-16s %-14s %s\n", kCategories[row].name,
                static_cast<int>(kCategories[row].slot),
                reading.text.empty() ? "(none)" : reading.text.c_str(), code.c_str(),
                name.empty() ? "-" : name.c_str());
  }
  if (findings.empty()) {
    std::printf("\nAll five bindings are usable.\n");
    return;
  }
  std::printf("\n%zu finding%s:\n", findings.size(), findings.size() == 1 ? "" : "s");
  for (const std::string& finding : findings) std::printf("- %s\n", finding.c_str());
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // The same bytes on every platform: no CR added before each LF.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
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

  // The default path is handed over as the module hands it over.
  const std::string location = full_path(options.file ? options.file : kConfigPath);
  const ConfigReader reader(options.file ? location.c_str() : kConfigPath);
  const BindingReadings readings = read_bindings(reader);
  if (options.tsv) {
    print_tsv(readings);
    return 0;
  }
  ConfigFile file{location, false, {}};
  file.text = read_profile_text(location.c_str(), &file.found);
  const std::vector<std::string> findings = diagnose(file, readings);
  print_report(file, readings, findings);
  return findings.empty() ? 0 : 1;
}
