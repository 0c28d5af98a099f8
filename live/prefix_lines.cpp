#include "live/prefix_lines.h"

#include <algorithm>
#include <string_view>

#include "advice/config_file.h"
#include "keys/player_text.h"

namespace holsterkeys {
namespace {

bool is_plain(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::string_view("/._-+:,@%=").find(c) != std::string_view::npos;
}

// Text that a word in double quotes inside a bash script in single quotes
// keeps as it is: none of the characters either quote gives a meaning to.
bool survives_double_quotes(const std::string& text) {
  return text.find_first_of("'\"$`\\\n") == std::string::npos;
}

}  // namespace

std::string shell_quoted(const std::string& text) {
  if (!text.empty() && std::all_of(text.begin(), text.end(), is_plain)) return text;
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string protontricks_line(const std::string& folder, const std::string& app_id) {
  if (folder.empty() || app_id.empty()) return {};
  return "cd " + shell_quoted(folder) + " && protontricks-launch --appid " + app_id + " " +
         kSetupProgram;
}

std::string wine_prefix_line(const std::string& folder, const std::string& prefix) {
  if (folder.empty() || prefix.empty()) return {};
  return "cd " + shell_quoted(folder) + " && WINEPREFIX=" + shell_quoted(prefix) + " wine " +
         kSetupProgram;
}

std::string steam_launch_options(const std::string& folder, const std::string& program) {
  const std::string name = file_name(program);
  const std::string setup = folder + "/" + kSetupProgram;
  if (folder.empty() || name.empty() || !survives_double_quotes(name) ||
      !survives_double_quotes(setup)) {
    return {};
  }
  // For each word of the command up to the game's program, c gathers it;
  // at the program, in any case as Wine finds it, what was gathered runs
  // with holsterkeys-setup.exe.
  return "bash -c 'for a; do [[ ${a,,} == *\"/" + lowercase(name) + "\" ]] && exec \"${c[@]}\" \"" +
         setup + "\"; c+=(\"$a\"); done; exec \"$@\"' -- %command%";
}

}  // namespace holsterkeys
