#include "tools/check/file_check.h"

#include "advice/module_view.h"
#include "tools/check/report.h"

namespace holsterkeys {

int check_file(const char* file, bool tsv) {
  const ModuleView view = view_as_module(file);
  if (tsv) {
    print_tsv(view.readings);
    return 0;
  }
  const Diagnosis diagnosis = diagnose(view.file, view.readings);
  print_report(view.location, view.readings, diagnosis);
  return diagnosis.has_findings() ? 1 : 0;
}

}  // namespace holsterkeys
