// The configuration file read through the Windows profile reader.
#pragma once

#include "bindings/bindings.h"

namespace holsterkeys {

class WindowsProfileFile {
 public:
  explicit WindowsProfileFile(const char* path = kConfigPath) : path_(path) {}
  // GetPrivateProfileStringA with default "" and a 100-character buffer.
  void read_value(const char* key, ValueText& value) const;

 private:
  const char* path_;
};

}  // namespace holsterkeys
