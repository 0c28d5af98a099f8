// The configuration as the module sees it: where it is, what is there, and
// the five bindings as the module's reader reads them. The checker and the
// setup window both start from this.
#pragma once

#include <string>

#include "advice/config_file.h"
#include "advice/diagnosis.h"

namespace holsterkeys {

struct ModuleView {
  std::string location;      // the full path: of the VirtualStore copy, where the game reads one
  ConfigFile file;           // what is there
  BindingReadings readings;  // as the module's reader reads them

  // The file in the game's own folder, which the game is started from.
  const std::string& in_game_folder() const {
    return file.in_place_of.empty() ? location : file.in_place_of;
  }
};

// The full path of what the player named, a file or a folder, or of
// .\holsterkeys.ini where the module looks when `file` is null.
std::string config_location(const char* file);

ModuleView view_as_module(const char* file);

}  // namespace holsterkeys
