// The file check: the configuration read through the module's own reader,
// shown with its findings and notes.
#pragma once

#include <string>

namespace holsterkeys {

// Prints the report, or with `tsv` the five lines for scripts; returns the
// exit status: 1 when there are findings, else 0.
int check_file(const char* file, bool tsv);

}  // namespace holsterkeys
