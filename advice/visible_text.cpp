// Players' files hold what their editors wrote: ANSI or UTF-8 accents, curly
// quotes pasted from a forum, Ctrl-Z or NUL bytes after a crash. Letters and
// marks are shown as the player typed them, in UTF-8, an ANSI byte read as
// Windows-1252 reads it; what cannot be seen or printed is named, so no
// sentence is cut at a NUL and no console shows a broken character.
#include "advice/visible_text.h"

#include "keys/player_text.h"
#include "text/say.h"

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

// Characters with a name of their own, which a player cannot tell apart
// from a blank, a quote or a line break.
enum class Named {
  kNone,
  kNonBreakingSpace,
  kCurlyApostrophe,
  kCurlyQuote,
  kByteOrderMark,
  kZeroWidthSpace,
  kLineSeparator,
  kParagraphSeparator,
  kNextLineMark,
};

Named named(const TextCharacter& c) {
  const unsigned code = c.code;
  if (code == 0xA0) return Named::kNonBreakingSpace;
  if (c.unicode ? code == 0x2018 || code == 0x2019 : code == 0x91 || code == 0x92) {
    return Named::kCurlyApostrophe;
  }
  if (c.unicode ? code == 0x201C || code == 0x201D : code == 0x93 || code == 0x94) {
    return Named::kCurlyQuote;
  }
  if (!c.unicode) return Named::kNone;
  switch (code) {
    case 0xFEFF:
      return Named::kByteOrderMark;
    case 0x200B:
      return Named::kZeroWidthSpace;
    case 0x2028:
      return Named::kLineSeparator;
    case 0x2029:
      return Named::kParagraphSeparator;
    case 0x85:
      return Named::kNextLineMark;
    default:
      return Named::kNone;
  }
}

// The name inside angle brackets, in the player's language.
std::string name_of(Named kind) {
  switch (kind) {
    case Named::kNonBreakingSpace:
      return say("non-breaking space");
    case Named::kCurlyApostrophe:
      return say("curly apostrophe");
    case Named::kCurlyQuote:
      return say("curly quote");
    case Named::kByteOrderMark:
      return say("byte-order mark");
    case Named::kZeroWidthSpace:
      return say("zero-width space");
    case Named::kLineSeparator:
      return say("line separator");
    case Named::kParagraphSeparator:
      return say("paragraph separator");
    case Named::kNextLineMark:
      return say("next-line mark");
    case Named::kNone:
      break;
  }
  return {};
}

// "U+00F6" for a UTF-8 character, "0xF6" for a byte.
std::string number_of(const TextCharacter& c) {
  return c.unicode ? hex("U+%04X", c.code) : hex("0x%02X", c.code);
}

// The short name inside angle brackets.
std::string short_name(const TextCharacter& c) {
  const unsigned code = c.code;
  if (!c.unicode && code == 0) return "NUL";
  if (!c.unicode && code == '\t') return say("tab");
  if (!c.unicode && code < 0x20) return "Ctrl-" + std::string(1, static_cast<char>('@' + code));
  if (!c.unicode && code == 0x7F) return "DEL";
  if (const Named kind = named(c); kind != Named::kNone) return name_of(kind);
  return number_of(c);
}

bool is_printable(char c) { return c >= 0x20 && c <= 0x7E; }

// A letter or mark that shows as itself: past ASCII and the C1 controls,
// and neither a space, a mark without width, a private character, nor one
// with a name of its own.
bool shows_as_itself(const TextCharacter& c) {
  const char32_t code = c.code;
  if (code < 0xA1 || code == 0xAD || named(c) != Named::kNone) return false;
  if (!c.unicode) return true;  // an ANSI byte: Windows-1252 agrees with Latin-1 here
  return !(code >= 0x2000 && code <= 0x206F) && !(code >= 0xFE00 && code <= 0xFE0F) &&
         code != 0xFEFF && !(code >= 0xE000 && code <= 0xF8FF) &&
         !(code >= 0xFFF0 && code <= 0xFFFF);
}

// A character with a name of its own, as a sentence names it.
std::string named_character(Named kind, const std::string& number) {
  const Filled<Fact::kCode> code{number};
  switch (kind) {
    case Named::kNonBreakingSpace:
      return say("a non-breaking space ({code})", code);
    case Named::kCurlyApostrophe:
      return say("a curly apostrophe ({code})", code);
    case Named::kCurlyQuote:
      return say("a curly quote ({code})", code);
    case Named::kByteOrderMark:
      return say("a byte-order mark ({code})", code);
    case Named::kZeroWidthSpace:
      return say("a zero-width space ({code})", code);
    case Named::kLineSeparator:
      return say("a line separator ({code})", code);
    case Named::kParagraphSeparator:
      return say("a paragraph separator ({code})", code);
    case Named::kNextLineMark:
      return say("a next-line mark ({code})", code);
    case Named::kNone:
      break;
  }
  return {};
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
    const Filled<Fact::kName> name{short_name(c)};
    shown += run > 1 ? say("<{name} x{count}>", name, count(run)) : say("<{name}>", name);
  }
  return shown;
}

std::string character_at(std::string_view text, std::size_t at) {
  if (at >= text.size()) return say("the end of the text");
  const char byte = text[at];
  if (byte == ' ') return say("the blank");
  if (byte == '\t') return say("the tab");
  if (byte == '"') return say("the quotation mark \"");
  if (byte == '\'') return say("the apostrophe '");
  const TextCharacter c = decode_at(text, at);
  const Filled<Fact::kCode> number{number_of(c)};
  if (is_printable(byte)) return say("the character \"{text}\"", fact<Fact::kText>({byte}));
  if (shows_as_itself(c)) {
    return say("the character {text} ({code})", fact<Fact::kText>(utf8_of(c.code)), number);
  }
  if (!c.unicode && c.code == 0) return say("a NUL byte (0x00)");
  if (!c.unicode && (c.code < 0x20 || c.code == 0x7F)) {
    return say("the control character {code} ({name})", number, fact<Fact::kName>(short_name(c)));
  }
  if (const Named kind = named(c); kind != Named::kNone) return named_character(kind, number.shown);
  return c.unicode ? say("the character {code}", number) : say("the byte {code}", number);
}

std::string typed_codes(std::string_view text) {
  std::vector<std::string> named_codes;
  for (std::size_t at = 0; at < text.size();) {
    const TextCharacter c = decode_at(text, at);
    const std::string one = say("{text} is {code}", fact<Fact::kText>(utf8_of(c.code)),
                                fact<Fact::kCode>(number_of(c)));
    if (shows_as_itself(c) &&
        std::find(named_codes.begin(), named_codes.end(), one) == named_codes.end()) {
      named_codes.push_back(one);
    }
    at += c.size;
  }
  return listed(named_codes, Joining::kSequence);
}

std::size_t blank_or_quote_at(std::string_view text, std::size_t at) {
  const char byte = text[at];
  if (byte == ' ' || byte == '\t' || byte == '"' || byte == '\'') return 1;
  const TextCharacter c = decode_at(text, at);
  switch (named(c)) {
    case Named::kNone:
    case Named::kLineSeparator:
    case Named::kParagraphSeparator:
    case Named::kNextLineMark:
      return 0;
    default:
      return c.size;
  }
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
