// Changing one binding in a configuration file, as a careful player would
// in an editor: one value changes and every other byte stays.
#pragma once

#include <string>
#include <string_view>

#include "bindings/bindings.h"

namespace holsterkeys {

// The file's bytes with `category` bound to `value`, an ASCII text. The
// entry the reader returns gets the new value; without one, an entry is
// added at the end of the first [Bindings] section, and without that, a
// section holding it at the end of the file. Line ends, other lines and
// sections, and a UTF-16LE encoding stay as they were. Text after the old
// number stays when it reads as a remark: it starts with ';', or with a
// blank and either a ';' or no digit at all, so that it can neither change
// the number nor name a second one; then only the number changes, and the
// remark and any quotes around the value keep every byte. Any other text
// after the number goes.
std::string with_binding(std::string_view file_bytes, const Category& category,
                         std::string_view value);

}  // namespace holsterkeys
