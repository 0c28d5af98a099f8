// Players' files hold what their editors wrote: ANSI or UTF-8 accents, curly
// quotes pasted from a forum, Ctrl-Z or NUL bytes after a crash. Letters and
// marks are shown as the player typed them, in UTF-8, an ANSI byte read as
// Windows-1252 reads it; what cannot be seen or printed is named, so no
// sentence is cut at a NUL and no console shows a broken character.
#include "advice/visible_text.h"

#include "keys/player_text.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace holsterkeys {
namespace {

std::string hex(const char* format, unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// What a character is, in a few words, or empty for one with no name.
std::string kind_of(const TextCharacter& c) {
  const unsigned code = c.code;
  if (code == 0xA0) return "non-breaking space";
  if (c.unicode ? code == 0x2018 || code == 0x2019 : code == 0x91 || code == 0x92) {
    return "curly apostrophe";
  }
  if (c.unicode ? code == 0x201C || code == 0x201D : code == 0x93 || code == 0x94) {
    return "curly quote";
  }
  if (c.unicode && code == 0xFEFF) return "byte-order mark";
  if (c.unicode && code == 0x200B) return "zero-width space";
  if (c.unicode && code == 0x2028) return "line separator";
  if (c.unicode && code == 0x2029) return "paragraph separator";
  if (c.unicode && code == 0x85) return "next-line mark";
  return {};
}

// The short name inside angle brackets.
std::string short_name(const TextCharacter& c) {
  const unsigned code = c.code;
  if (!c.unicode && code == 0) return "NUL";
  if (!c.unicode && code == '\t') return "tab";
  if (!c.unicode && code < 0x20) return "Ctrl-" + std::string(1, static_cast<char>('@' + code));
  if (!c.unicode && code == 0x7F) return "DEL";
  if (const std::string kind = kind_of(c); !kind.empty()) return kind;
  return c.unicode ? hex("U+%04X", code) : hex("0x%02X", code);
}

bool is_printable(char c) { return c >= 0x20 && c <= 0x7E; }

// A letter or mark that shows as itself: past ASCII and the C1 controls,
// and neither a space, a mark without width, a private character, nor one
// with a name of its own.
bool shows_as_itself(const TextCharacter& c) {
  const char32_t code = c.code;
  if (code < 0xA1 || code == 0xAD || !kind_of(c).empty()) return false;
  if (!c.unicode) return true;  // an ANSI byte: Windows-1252 agrees with Latin-1 here
  return !(code >= 0x2000 && code <= 0x206F) && !(code >= 0xFE00 && code <= 0xFE0F) &&
         code != 0xFEFF && !(code >= 0xE000 && code <= 0xF8FF) &&
         !(code >= 0xFFF0 && code <= 0xFFFF);
}

// "U+00F6" for a UTF-8 character, "0xF6" for a byte.
std::string number_of(const TextCharacter& c) {
  return c.unicode ? hex("U+%04X", c.code) : hex("0x%02X", c.code);
}

}  // namespace

std::string visible(std::string_view text) {
  std::string shown;
  for (std::size_t at = 0; at < text.size();) {
    if (is_printable(text[at])) {
      shown.push_back(text[at++]);
      continue;
    }
    const TextCharacter c = decode_at(text, at);
    if (shows_as_itself(c)) {
      shown += utf8_of(c.code);
      at += c.size;
      continue;
    }
    const std::string_view one = text.substr(at, c.size);
    std::size_t run = 0;
    for (; text.substr(at, c.size) == one; at += c.size) ++run;
    shown += "<" + short_name(c) + (run > 1 ? " x" + std::to_string(run) : "") + ">";
  }
  return shown;
}

std::string character_at(std::string_view text, std::size_t at) {
  if (at >= text.size()) return "the end of the text";
  const char byte = text[at];
  if (byte == ' ') return "the blank";
  if (byte == '\t') return "the tab";
  if (byte == '"') return "the quotation mark \"";
  if (byte == '\'') return "the apostrophe '";
  if (is_printable(byte)) return "the character \"" + std::string(1, byte) + "\"";
  const TextCharacter c = decode_at(text, at);
  const std::string number = number_of(c);
  if (shows_as_itself(c)) return "the character " + utf8_of(c.code) + " (" + number + ")";
  if (!c.unicode && c.code == 0) return "a NUL byte (0x00)";
  if (!c.unicode && (c.code < 0x20 || c.code == 0x7F)) {
    return "the control character " + number + " (" + short_name(c) + ")";
  }
  const std::string kind = kind_of(c);
  if (!kind.empty()) return "a " + kind + " (" + number + ")";
  return c.unicode ? "the character " + number : "the byte " + number;
}

std::string typed_codes(std::string_view text) {
  std::vector<std::string> named;
  for (std::size_t at = 0; at < text.size();) {
    const TextCharacter c = decode_at(text, at);
    const std::string one = utf8_of(c.code) + " is " + number_of(c);
    if (shows_as_itself(c) && std::find(named.begin(), named.end(), one) == named.end()) {
      named.push_back(one);
    }
    at += c.size;
  }
  std::string listed;
  for (const std::string& one : named) listed += (listed.empty() ? "" : ", ") + one;
  return listed;
}

std::size_t blank_or_quote_at(std::string_view text, std::size_t at) {
  const char byte = text[at];
  if (byte == ' ' || byte == '\t' || byte == '"' || byte == '\'') return 1;
  const TextCharacter c = decode_at(text, at);
  const std::string kind = kind_of(c);
  const bool breaks = kind.ends_with("separator") || kind == "next-line mark";
  return !kind.empty() && !breaks ? c.size : 0;
}

std::string shortened(std::string_view text, std::size_t width) {
  const std::string shown = visible(text);
  std::size_t characters = 0, cut = 0;
  for (std::size_t at = 0; at < shown.size(); ++characters) {
    if (characters == width - 3) cut = at;
    at += decode_at(shown, at).size;
  }
  return characters <= width ? shown : shown.substr(0, cut) + "...";
}

}  // namespace holsterkeys
