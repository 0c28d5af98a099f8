#include "advice/module_view.h"

// On Windows the platform's own profile reader answers, as in the module.
#ifdef _WIN32
#include "module/windows_profile_file.h"
#else
#include "bindings/profile_file.h"
#endif

namespace holsterkeys {
namespace {

#ifdef _WIN32
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

ModuleView view_as_module(const char* file) {
  const std::string location = config_location(file);
  const auto copy = virtual_store_copy(location, virtual_store());
  FileFailure unused;
  ModuleView view;
  if (copy && path_kind(*copy, unused) == PathKind::kFile) {
    // Windows hands the game the copy; what lies around it is no player's.
    view.location = *copy;
    view.file = inspect_copy(*copy, location);
    view.readings = read_as_module(copy->c_str(), view.file);
    return view;
  }
  view.location = location;
  view.file = inspect_config(view.location);
  find_nearby(view.file);
  // The default path is handed over as the module hands it over; a file
  // named by the player goes with its full path, since the reader looks
  // for a bare name in the Windows folder.
  view.readings = read_as_module(file ? view.location.c_str() : kConfigPath, view.file);
  return view;
}

}  // namespace holsterkeys
