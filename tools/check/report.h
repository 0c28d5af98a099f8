// How the checker shows a configuration: the five bindings in slot order,
// then its findings and notes apart, then a verdict.
#pragma once

#include <string>

#include "advice/diagnosis.h"

namespace holsterkeys {

void print_report(const std::string& location, const BindingReadings& readings,
                  const Diagnosis& diagnosis);

// Five tab-separated lines in row order, for scripts: category, slot, key
// code, text.
void print_tsv(const BindingReadings& readings);

}  // namespace holsterkeys
