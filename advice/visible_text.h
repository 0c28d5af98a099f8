// Text from a player's file as the checker's sentences show it: printable
// ASCII as it stands and every other character named, so that what the
// checker prints is whole, valid UTF-8 whatever bytes the file holds.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace holsterkeys {

// The text with each character that is not printable ASCII named in angle
// brackets, runs counted: "0x62<non-breaking space>", "<NUL x512>".
std::string visible(std::string_view text);

// The character that starts at `at`, as a sentence names it: "the blank",
// "a curly quote (0x93)", "the control character 0x1A (Ctrl-Z)". A whole
// UTF-8 sequence is one character.
std::string character_at(std::string_view text, std::size_t at);

}  // namespace holsterkeys
