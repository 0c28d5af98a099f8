// The characters of text from a player's file, which is UTF-8 or, saved as
// ANSI, Windows-1252: one home for reading them, for the key names read
// from the file and for the sentences that show the file's text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace holsterkeys {

// One character of the text: a byte, or a whole UTF-8 sequence.
struct TextCharacter {
  std::size_t size;
  char32_t code;  // the Unicode character of a UTF-8 sequence; else the byte
  bool unicode;   // a UTF-8 sequence of two bytes or more
};

// The character that starts at `at`, which must lie inside the text. A
// byte that starts no whole UTF-8 character (an overlong form, a surrogate)
// is a character of its own.
TextCharacter decode_at(std::string_view text, std::size_t at);

// The UTF-8 bytes of a Unicode character.
std::string utf8_of(char32_t code);

// The text with the letters A to Z in lower case and every other byte as
// it is: names as Windows compares file names and the reader compares
// sections and entries.
std::string lowercase(std::string_view text);

// The ANSI code pages players' files are saved in: Windows-1252 in Western
// Europe and the Americas, 1250 in Central Europe, 1251 where Cyrillic is
// written.
enum class AnsiCodePage { k1252, k1250, k1251 };

// The text in UTF-8: its UTF-8 characters as they are, every other byte
// read in the code page, Windows-1252 unless another is given. For names
// in files saved as ANSI, and for paths the platform's ANSI calls return.
std::string as_utf8(std::string_view text, AnsiCodePage page = AnsiCodePage::k1252);

// True where the text has a byte above ASCII that starts no UTF-8
// character: text saved as ANSI, in one code page or another.
bool has_ansi_letters(std::string_view text);

}  // namespace holsterkeys
