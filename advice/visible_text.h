// Text from a player's file as the checker's sentences show it: printable
// ASCII, letters and marks as they stand, every other character named, so
// that what the checker prints is whole, valid UTF-8 whatever bytes the
// file holds. A byte that starts no UTF-8 character is read as Windows-1252,
// the ANSI code page players' files are saved in.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace holsterkeys {

// The text with letters and marks in UTF-8 and each character that cannot
// be seen named in angle brackets, runs counted: "0x62<non-breaking
// space>", "<NUL x512>", "ö".
std::string visible(std::string_view text);

// The numbers of the letters and marks beyond ASCII in `text`, each once:
// "ö is U+00F6, ç is 0xE7"; empty when it has none.
std::string typed_codes(std::string_view text);

// The size of the character at `at` when a player sees it as a blank or a
// quote mark around a number: a blank, a tab, a straight or curly quote, a
// non-breaking or zero-width space, a byte-order mark; 0 for any other.
std::size_t blank_or_quote_at(std::string_view text, std::size_t at);

// visible(text) cut to `width` characters, "..." included.
std::string shortened(std::string_view text, std::size_t width);

// The character that starts at `at`, as a sentence names it: "the blank",
// "a curly quote (0x93)", "the control character 0x1A (Ctrl-Z)". A whole
// UTF-8 sequence is one character.
std::string character_at(std::string_view text, std::size_t at);

}  // namespace holsterkeys
