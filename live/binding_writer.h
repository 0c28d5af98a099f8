// live/: what both programs do on the Windows API, or Wine's, while the
// player plays: write one binding into the file, watch keys as the module
// sees them, and find the running games that have the module loaded. It
// uses the advice library below it and the module's Windows platform, and
// nothing of a program.
//
// Writing one binding into the player's file, with the same care wherever
// it is done.
#pragma once

#include <optional>
#include <string>

#include "bindings/bindings.h"
#include "files/file_system.h"

namespace holsterkeys {

// Why the file was left as it was.
struct WriteRefusal {
  enum class Problem {
    kChangedSinceShown,  // it is no longer what the player was shown
    kFolder,             // a folder has the file's name
    kUnreadable,         // it cannot be read: `unreadable` says why
    kEncodingReadApart,  // Windows and Wine read its encoding differently
    kReadOnly,
    kLocked,           // another program holds it open
    kProtectedFolder,  // a folder such as Program Files: `folder`
    kOther,            // Windows' error `error`
  };
  Problem problem;
  FileFailure unreadable = {};
  std::string folder = {};
  unsigned long error = 0;
};

// Writes `value` as the category's value in the file at `location`, which
// is created when there is none: one value changes, every other byte
// stays, and the file is replaced in one step with its attributes. With
// `shown`, the bytes the player was shown (empty for no file), a file that
// has changed since is refused. A refused file is left as it was.
std::optional<WriteRefusal> write_value(const std::string& location, const Category& category,
                                        const std::string& value,
                                        const std::optional<std::string>& shown = std::nullopt);

// That the file at `location` was not written, why, and what to do.
std::string refusal_text(const std::string& location, const WriteRefusal& refusal);

}  // namespace holsterkeys
