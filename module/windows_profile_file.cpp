#include "module/windows_profile_file.h"

#include <windows.h>

namespace holsterkeys {

void WindowsProfileFile::read_value(const char* key, ValueText& value) const {
  GetPrivateProfileStringA(kConfigSection, key, "", value, kValueSize, path_);
}

}  // namespace holsterkeys
