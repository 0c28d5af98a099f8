#include "tools/check/file_check.h"

#include "bindings/bindings.h"
#include "tools/check/config_file.h"
#include "tools/check/diagnosis.h"
#include "tools/check/report.h"

#ifdef _WIN32
#include "module/windows_profile_file.h"
#else
#include "bindings/profile_file.h"
#endif

namespace holsterkeys {
namespace {

#ifdef _WIN32
// On Windows the platform's own profile reader answers, as in the module.
BindingReadings read_as_module(const char* path, const ConfigFile&) {
  const WindowsProfileFile reader(path);
  return read_bindings(reader);
}
#else
// Elsewhere the portable reader reads the bytes already read, as the
// Windows reader would.
BindingReadings read_as_module(const char*, const ConfigFile& file) {
  const ProfileBytes reader(file.bytes, ProfileDialect::kWindows);
  return read_bindings(reader);
}
#endif

}  // namespace

std::string config_location(const char* file) {
  return file ? config_in(full_path(file)) : full_path(kConfigPath);
}

int check_file(const char* file, bool tsv) {
  const std::string location = config_location(file);
  const ConfigFile config = inspect_config(location);
  // The default path is handed over as the module hands it over; a file
  // named by the player goes with its full path, since the reader looks
  // for a bare name in the Windows folder.
  const BindingReadings readings = read_as_module(file ? location.c_str() : kConfigPath, config);
  if (tsv) {
    print_tsv(readings);
    return 0;
  }
  const Diagnosis diagnosis = diagnose(config, readings);
  print_report(location, readings, diagnosis);
  return diagnosis.findings.empty() ? 0 : 1;
}

}  // namespace holsterkeys
