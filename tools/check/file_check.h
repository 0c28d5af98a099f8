// The file check: the configuration read through the module's own reader,
// shown with its findings and notes.
#pragma once

#include <string>

namespace holsterkeys {

// The full path of FILE, or of .\holsterkeys.ini where the module looks
// when `file` is null.
std::string config_location(const char* file);

// Prints the report, or with `tsv` the five lines for scripts; returns the
// exit status: 1 when there are findings, else 0.
int check_file(const char* file, bool tsv);

}  // namespace holsterkeys
