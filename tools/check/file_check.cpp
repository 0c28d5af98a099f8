#include "tools/check/file_check.h"

#include "bindings/bindings.h"
#include "tools/check/config_file.h"
#include "tools/check/diagnosis.h"
#include "tools/check/report.h"

// On Windows the platform's own profile reader answers, as in the module.
#ifdef _WIN32
#include "module/windows_profile_file.h"
using ConfigReader = holsterkeys::WindowsProfileFile;
#else
#include "bindings/profile_file.h"
using ConfigReader = holsterkeys::ProfileFile;
#endif

namespace holsterkeys {

std::string config_location(const char* file) { return full_path(file ? file : kConfigPath); }

int check_file(const char* file, bool tsv) {
  const std::string location = config_location(file);
  // The default path is handed over as the module hands it over; a file
  // named by the player goes with its full path, since the reader looks
  // for a bare name in the Windows folder.
  const ConfigReader reader(file ? location.c_str() : kConfigPath);
  const BindingReadings readings = read_bindings(reader);
  if (tsv) {
    print_tsv(readings);
    return 0;
  }
  const Diagnosis diagnosis = diagnose(inspect_config(location), readings);
  print_report(location, readings, diagnosis);
  return diagnosis.findings.empty() ? 0 : 1;
}

}  // namespace holsterkeys
