// Findings about each binding's value: what the module reads from it, and
// what the player most likely meant instead. The rules are tried in the
// order of kValueRules, and the first that applies says what the value is;
// every line the checker tells a player to write reads as the key it names.
#include <algorithm>
#include <cctype>
#include <iterator>
#include <optional>

#include "advice/findings.h"
#include "advice/visible_text.h"
#include "bindings/category_names.h"
#include "keys/key_names.h"
#include "keys/player_text.h"

namespace holsterkeys {
namespace {

// One binding's value, with what every rule works with: all five
// readings, for codes that are free, and the check of each proposed line.
struct Value {
  const Category& category;
  const BindingReading& reading;
  const ProfileMatch& match;
  bool encoding_found;
  const BindingReadings& readings;
  const ProposalCheck& check;
  const Diagnosis& so_far;

  const std::string& text() const { return reading.text; }
  const KeyCodeReading& number() const { return reading.number; }
};

Finding about(FindingKind kind, const Value& value) {
  Finding finding{kind};
  finding.category = &value.category;
  finding.text = value.text();
  finding.code = value.number().code;
  return finding;
}

// Offers the line that binds the value's category to `code`.
bool offer(const Value& value, Finding& finding, KeyCode code) {
  return offer(value.check, finding, proposal_of(value.category, code));
}

// Offers a free key as an example.
void offer_example(const Value& value, Finding& finding) {
  offer(value, finding, spare_code(value.readings, value.category));
}

// Reading that stops at the end, a blank or a ';' leaves a remark behind,
// nothing that was meant as part of the number.
bool ends_cleanly(const std::string& text, std::size_t at) {
  return at >= text.size() || text[at] == ' ' || text[at] == '\t' || text[at] == ';';
}

// The value up to its remark, without blanks around it.
std::string_view before_remark(std::string_view text) {
  text = text.substr(0, text.find(';'));
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// The remark after a ';', without blanks around it.
std::string_view remark_of(std::string_view text) {
  const std::size_t mark = text.find(';');
  if (mark == std::string_view::npos) return {};
  text.remove_prefix(mark + 1);
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool is_hex_text(std::string_view digits) {
  return !digits.empty() && digits.size() <= 4 &&
         digits.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos;
}

// The digits of a hexadecimal number in the notations of other programs:
// "#66", "$66", "&H66", "66h", "0x66h"; empty for any other text.
std::string_view other_hex_digits(std::string_view text) {
  if (text.starts_with('#') || text.starts_with('$')) return text.substr(1);
  if (text.starts_with("&h") || text.starts_with("&H")) return text.substr(2);
  if (!text.ends_with('h') && !text.ends_with('H')) return {};
  text.remove_suffix(1);
  if (text.starts_with("0x") || text.starts_with("0X")) return text.substr(2);
  // "Ah" could be a word; a hexadecimal number this way has a digit.
  return text.find_first_of("0123456789") == std::string_view::npos ? std::string_view() : text;
}

std::optional<KeyCode> other_hex_notation(const std::string& text) {
  const std::string_view digits = other_hex_digits(before_remark(text));
  if (!is_hex_text(digits)) return std::nullopt;
  return static_cast<KeyCode>(std::stoul(std::string(digits), nullptr, 16));
}

// A word of the value as a key: a number of two characters or more, or
// within a combination ("Ctrl+1") also a key's name or a lone digit's key.
std::optional<KeyCode> key_of_word(std::string_view word, bool combination) {
  const std::string text(word);
  const KeyCodeReading reading = read_key_code(text.c_str());
  if (text.size() >= 2 && reading.has_digits && reading.end == text.size()) {
    return names_a_key(reading.code) ? std::optional(reading.code) : std::nullopt;
  }
  return combination ? key_code_named(word) : std::nullopt;
}

// A '+' after the first character joins keys; one in front is the sign.
bool is_combination(const std::string& text) {
  return before_remark(text).find('+', 1) != std::string_view::npos;
}

// The keys that the value names before its remark, each once: "0x62,0x32",
// "0x65 or 0x35", "Ctrl+1".
std::vector<KeyCode> keys_named(const std::string& text) {
  const std::string_view value = before_remark(text);
  const bool combination = is_combination(text);
  std::vector<KeyCode> keys;
  for (std::size_t at = 0; at < value.size();) {
    const std::size_t end = std::min(value.find_first_of(" \t,|/+&", at), value.size());
    const auto key = key_of_word(value.substr(at, end - at), combination);
    if (key && std::find(keys.begin(), keys.end(), *key) == keys.end()) keys.push_back(*key);
    at = end + 1;
  }
  return keys;
}

bool fires_or_aims(KeyCode code) {
  const PressDanger danger = press_danger(code);
  return danger == PressDanger::kFires || danger == PressDanger::kAims;
}

// The marks a guide puts around a placeholder for the player's own key:
// `0x62`, <0x62>, [0x62], {0x62}, (0x62).
std::string_view unwrapped(std::string_view text) {
  constexpr std::string_view kPairs[] = {"``", "<>", "[]", "{}", "()"};
  for (std::string_view pair : kPairs) {
    if (text.size() > 2 && text.front() == pair[0] && text.back() == pair[1]) {
      return text.substr(1, text.size() - 2);
    }
  }
  return text;
}

// The value without its wrapping marks and without the blanks, quotes and
// invisible spaces a paste leaves around a number, or nothing when any
// other character that is no ASCII letter or digit is in it: a letter of
// another script that looks like a Latin one is not dropped.
std::optional<std::string> without_invisibles(std::string_view text) {
  text = unwrapped(text);
  std::string kept;
  for (std::size_t at = 0; at < text.size();) {
    if (const std::size_t blank = blank_or_quote_at(text, at)) {
      at += blank;
    } else if (std::isalnum(static_cast<unsigned char>(text[at])) && text[at] > 0) {
      kept.push_back(text[at++]);
    } else {
      return std::nullopt;
    }
  }
  return kept;
}

// The code the player meant where those characters stopped the reading:
// "0x 65" and "\"0x64'" were meant as 0x65 and 0x64. Nothing is guessed
// where what is left could be read two ways, as octal or decimal.
std::optional<KeyCode> meant_code(const std::string& text) {
  const auto kept = without_invisibles(before_remark(text));
  if (!kept) return std::nullopt;
  const KeyCodeReading reading = read_key_code(kept->c_str());
  if (!reading.has_digits || reading.end != kept->size() || !names_a_key(reading.code) ||
      reading.base == 8) {
    return std::nullopt;
  }
  return reading.code;
}

void offer_meant(const Value& value, Finding& finding) {
  if (const auto meant = meant_code(value.text())) offer(value, finding, *meant);
}

// One character that a key types, not an ASCII letter or digit: "ö", "+",
// "´", or one byte of a file saved as ANSI.
bool is_one_typed_character(std::string_view text) {
  if (text.empty() || decode_at(text, 0).size != text.size()) return false;
  const auto c = static_cast<unsigned char>(text[0]);
  const bool ascii_mark = c > 0x20 && c < 0x7F && !std::isalnum(c);
  // Windows-1252's printable characters above ASCII, but for the soft hyphen.
  return text.size() > 1 || ascii_mark || (c >= 0xA1 && c != 0xAD);
}

// The keys that Windows gives one code on every layout, by what they type.
std::optional<KeyCode> code_on_every_layout(std::string_view character) {
  if (character == "+") return 0xBB;
  if (character == ",") return 0xBC;
  if (character == ".") return 0xBE;
  return std::nullopt;
}

// The cells of a row pasted from a table of key codes, apart where
// `separator` stands once or more.
std::vector<std::string_view> cells_of(std::string_view text, std::string_view separator) {
  std::vector<std::string_view> cells;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = std::min(text.find(separator, at), text.size());
    if (end > at) cells.push_back(text.substr(at, end - at));
    at = end;
    while (at < text.size() && text.substr(at).starts_with(separator)) at += separator.size();
    while (at < text.size() && separator.size() > 1 && text[at] == ' ') ++at;
  }
  return cells;
}

// The code in a row pasted from a table of key codes, "VK_F2<tab>0x71<tab>F2
// key": the one cell that reads whole as a key's code, where no other cell
// names another key.
std::optional<KeyCode> code_in_cells(const std::vector<std::string_view>& cells) {
  if (cells.size() < 2) return std::nullopt;
  std::optional<KeyCode> code;
  std::vector<KeyCode> named;
  for (std::string_view cell : cells) {
    if (const auto number = number_key(cell)) {
      if (code && *code != *number) return std::nullopt;
      code = number;
    } else if (const auto key = key_code_named(cell)) {
      named.push_back(*key);
    }
  }
  if (!code) return std::nullopt;
  for (KeyCode key : named) {
    if (key != *code) return std::nullopt;
  }
  return code;
}

// The cells of a table copied from a spreadsheet are apart by tabs, and
// from a web page or a PDF by blanks: by a run of them where the names in
// the cells have blanks of their own ("Page Up"), else by one.
std::optional<KeyCode> code_in_table_row(std::string_view text) {
  for (std::string_view separator : {"\t", "  ", " "}) {
    if (text.find(separator) == std::string_view::npos) continue;
    return code_in_cells(cells_of(text, separator));
  }
  return std::nullopt;
}

std::optional<KeyCode> key_written_by_name(const std::string& text) {
  const std::string_view value = unwrapped(before_remark(text));
  if (const auto named = key_code_named(value)) return named;
  return code_in_table_row(value);
}

// The number is all of the value before its remark: "2 ; aim", not "2 5".
bool is_the_whole_value(const BindingReading& reading) {
  return reading.number.has_digits && reading.number.end == before_remark(reading.text).size();
}

// The digit a number is written as, with or without leading zeros: "2",
// "06", "00"; nothing for any other number. Octal and decimal read these
// alike, so what the player got wrong is the code itself.
std::optional<int> written_digit(const BindingReading& reading) {
  const KeyCodeReading& number = reading.number;
  if (!is_the_whole_value(reading)) return std::nullopt;
  // A sign or "0x" before the digits makes it a number of its own.
  if (number.digits != 0) return std::nullopt;
  const std::string_view digits = std::string_view(reading.text).substr(0, number.end);
  if (digits.substr(0, digits.size() - 1).find_first_not_of('0') != std::string_view::npos) {
    return std::nullopt;
  }
  return digits.back() - '0';
}

// "none", "off", "disabled": words that mean off, before any remark.
bool means_off(const std::string& text) {
  const std::string word = lowercase(before_remark(text));
  for (const char* off :
       {"none", "off", "disabled", "disable", "unbound", "unassigned", "null", "nothing", "-"}) {
    if (word == off) return true;
  }
  return false;
}

// "010" is octal 8, and "08" stops at the 8, which is no octal digit: a
// leading 0 matters only where octal and decimal read the digits apart.
bool is_octal_trap(const KeyCodeReading& number, const std::string& text) {
  if (number.base != 8) return false;
  std::size_t end = number.digits;
  while (end < text.size() && end - number.digits < 10 &&
         std::isdigit(static_cast<unsigned char>(text[end]))) {
    ++end;
  }
  const std::string decimal = text.substr(number.digits, end - number.digits);
  return std::stoll(decimal) != number.code;
}

// Characters that look like the x of "0x": Cyrillic х and Х, the
// multiplication sign, a fullwidth x.
constexpr std::string_view kLookAlikesOfX[] = {"\xD1\x85", "\xD0\xA5", "\xC3\x97", "\xEF\xBD\x98",
                                               "\xD7"};

// Where "0" is followed by a look-alike of x: its size, or 0.
std::size_t look_alike_of_x(const Value& value) {
  const std::string& text = value.text();
  const std::size_t at = value.number().end;
  if (!value.number().has_digits || value.number().code != 0 || at == 0 || text[at - 1] != '0') {
    return 0;
  }
  for (std::string_view look_alike : kLookAlikesOfX) {
    // A lone 0xD7 byte is the multiplication sign of a file saved as ANSI.
    if (std::string_view(text).substr(at).starts_with(look_alike) &&
        decode_at(text, at).size == look_alike.size()) {
      return look_alike.size();
    }
  }
  return 0;
}

// --- The rules, in the order they are tried ---

bool has_no_text(const Value& value) { return value.text().empty(); }

Finding find_unbound(const Value& value) {
  Finding finding = about(FindingKind::kNotBound, value);
  finding.line = value.match.entry;
  if (value.match.entry == 0 && value.so_far.proposes_for(value.category)) {
    // A misnamed line has already given the line to write.
    finding.kind = FindingKind::kNotBoundGivenAbove;
  } else if (value.match.entry == 0) {
    offer_example(value, finding);
  } else if (value.match.value.empty()) {
    finding.kind = FindingKind::kUnboundOnPurpose;
    offer_example(value, finding);
  } else {
    finding.kind =
        value.encoding_found ? FindingKind::kNotReadForEncoding : FindingKind::kNotReadHere;
  }
  return finding;
}

// A number that reads as 0 and is all of the value, however written:
// "0", "-0", "0x0 ; off".
bool is_off(const Value& value) {
  return means_off(value.text()) || (is_the_whole_value(value.reading) && value.number().code == 0);
}

Finding find_off_on_purpose(const Value& value) {
  Finding finding = about(FindingKind::kOffOnPurpose, value);
  if (written_digit(value.reading) == 0) offer(value, finding, '0');
  return finding;
}

bool is_other_hex(const Value& value) {
  const auto meant = other_hex_notation(value.text());
  return meant && *meant != value.number().code && names_a_key(*meant);
}

Finding find_other_hex(const Value& value) {
  Finding finding = about(FindingKind::kOtherHexNotation, value);
  finding.other_code = *other_hex_notation(value.text());
  offer(value, finding, finding.other_code);
  return finding;
}

bool names_more_keys(const Value& value) {
  return is_combination(value.text()) || keys_named(value.text()).size() > 1;
}

// One category takes one key: "0x11+0x32" binds Ctrl alone, "0x62,0x32"
// the first key alone.
Finding find_more_keys(const Value& value) {
  Finding finding = about(FindingKind::kMoreThanOneKey, value);
  finding.keys = keys_named(value.text());
  for (KeyCode key : finding.keys) {
    if (!fires_or_aims(key)) offer(value, finding, key);
  }
  return finding;
}

bool is_typed_character(const Value& value) {
  return !value.number().has_digits && is_one_typed_character(before_remark(value.text()));
}

// "ö" or "+" typed where the key's code should be.
Finding find_typed_character(const Value& value) {
  Finding finding = about(FindingKind::kTypedCharacterOfLayout, value);
  finding.other_text = before_remark(value.text());
  if (const auto code = code_on_every_layout(finding.other_text)) {
    finding.kind = FindingKind::kTypedCharacter;
    finding.other_code = *code;
    offer(value, finding, *code);
  }
  return finding;
}

// A letter of any alphabet, as a word starts: not a mark, a blank or a
// control character.
bool is_letter_at(std::string_view text, std::size_t at) {
  if (at >= text.size()) return false;
  if (std::isalpha(static_cast<unsigned char>(text[at]))) return true;
  const TextCharacter c = decode_at(text, at);
  const bool latin_1_sign = c.code == 0xD7 || c.code == 0xF7;
  const bool punctuation = c.unicode && c.code >= 0x2000 && c.code <= 0x2BFF;
  return c.code >= 0xC0 && !latin_1_sign && !punctuation && c.code != 0xFEFF;
}

// A character before the number that is no word's start: a mark, or a
// letter beyond ASCII right before a digit, as a stray byte of a broken
// character stands.
bool is_stray_before_number(const Value& value) {
  const std::string& text = value.text();
  const std::size_t at = value.number().digits;
  if (value.number().has_digits || key_written_by_name(text)) return false;
  if (!is_letter_at(text, at)) return true;
  const std::size_t after = at + decode_at(text, at).size;
  return text[at] < 0 && after < text.size() &&
         std::isdigit(static_cast<unsigned char>(text[after]));
}

// A key's name, a word or a stray character where the number should start.
Finding find_stray_before_number(const Value& value) {
  Finding finding = about(FindingKind::kStopsBeforeNumber, value);
  finding.at = value.number().digits;
  offer_meant(value, finding);
  return finding;
}

bool is_mouse_wheel(const Value& value) {
  return !value.number().has_digits && names_mouse_wheel(value.text());
}

Finding find_mouse_wheel(const Value& value) {
  Finding finding = about(FindingKind::kMouseWheel, value);
  offer_example(value, finding);
  return finding;
}

bool is_key_name(const Value& value) {
  return !value.number().has_digits && key_written_by_name(value.text());
}

Finding find_key_name(const Value& value) {
  Finding finding = about(FindingKind::kKeyName, value);
  finding.other_code = *key_written_by_name(value.text());
  if (fires_or_aims(finding.other_code)) {
    finding.kind = FindingKind::kKeyNameFiresOrAims;
    offer_example(value, finding);
  } else {
    offer(value, finding, finding.other_code);
  }
  return finding;
}

bool has_no_number(const Value& value) { return !value.number().has_digits; }

Finding find_unknown_key_name(const Value& value) {
  return about(FindingKind::kUnknownKeyName, value);
}

bool is_lone_digit(const Value& value) { return written_digit(value.reading).has_value(); }

// A lone digit is a key code, not the digit's key: "2" is the right mouse
// button, and the 2 key is 0x32.
Finding find_lone_digit(const Value& value) {
  Finding finding = about(FindingKind::kLoneDigit, value);
  finding.text = before_remark(value.text());
  finding.number = *written_digit(value.reading);
  const KeyCode digit_key = static_cast<KeyCode>('0' + finding.number);
  finding.other_code = digit_key;
  offer(value, finding, digit_key);
  // A mouse button, written so that it says which.
  if (finding.code >= 4 && finding.code <= 6) offer(value, finding, finding.code);
  return finding;
}

bool is_fire_or_aim(const Value& value) { return fires_or_aims(value.number().code); }

Finding find_fire_or_aim(const Value& value) {
  Finding finding = about(FindingKind::kFiresOrAims, value);
  offer_example(value, finding);
  return finding;
}

bool is_octal(const Value& value) { return is_octal_trap(value.number(), value.text()); }

Finding find_octal(const Value& value) { return about(FindingKind::kOctal, value); }

bool is_look_alike_in_hex(const Value& value) { return look_alike_of_x(value) != 0; }

// "0х41" with a Cyrillic х, or "0×41": the Latin x is given only where the
// rest reads as that number and nothing else.
Finding find_look_alike_in_hex(const Value& value) {
  Finding finding = about(FindingKind::kLookAlikeInHex, value);
  const std::size_t at = value.number().end;
  finding.at = at;
  const std::string_view value_text = before_remark(value.text());
  if (value_text.size() > at) {
    std::string latin(value_text);
    latin.replace(at, look_alike_of_x(value), "x");
    const KeyCodeReading reading = read_key_code(latin.c_str());
    if (reading.end == latin.size() && names_a_key(reading.code)) {
      offer(value, finding, reading.code);
    }
  }
  return finding;
}

bool names_no_key(const Value& value) { return !names_a_key(value.number().code); }

// Where reading stopped short of a key: "0x 65" stops at the blank.
Finding find_no_key(const Value& value) {
  const std::string& text = value.text();
  std::size_t stop = value.number().end;
  const bool bare_prefix = stop < text.size() && (text[stop] == 'x' || text[stop] == 'X');
  if (bare_prefix) ++stop;
  if (!bare_prefix && ends_cleanly(text, stop)) return about(FindingKind::kNoSuchKey, value);
  Finding finding =
      about(bare_prefix ? FindingKind::kStopsAfterPrefix : FindingKind::kStopsInsideNumber, value);
  finding.at = stop;
  offer_meant(value, finding);
  return finding;
}

// The key a remark names, where it is a key's name and not a digit, which
// may as well be a slot.
std::optional<KeyCode> key_in_remark(const std::string& text) {
  const std::string_view remark = remark_of(text);
  if (remark.size() == 1 && std::isdigit(static_cast<unsigned char>(remark[0]))) {
    return std::nullopt;
  }
  return key_code_named(remark);
}

bool remark_names_other_key(const Value& value) {
  const auto named = key_in_remark(value.text());
  return named && *named != value.number().code;
}

Finding find_remark_naming_other_key(const Value& value) {
  Finding finding = about(FindingKind::kRemarkNamesOtherKey, value);
  finding.other_code = *key_in_remark(value.text());
  offer(value, finding, finding.other_code);
  return finding;
}

struct ValueRule {
  const char* name;
  bool (*applies)(const Value&);
  Finding (*find)(const Value&);
};

// What a value is, tried in this order; the first rule that applies says
// it. A value that none applies to is a key's code, bound as meant.
constexpr ValueRule kValueRules[] = {
    {"no value", has_no_text, find_unbound},
    {"off on purpose", is_off, find_off_on_purpose},
    {"hexadecimal as other programs write it", is_other_hex, find_other_hex},
    {"more than one key", names_more_keys, find_more_keys},
    {"a character a key types", is_typed_character, find_typed_character},
    {"a stray character before the number", is_stray_before_number, find_stray_before_number},
    {"the mouse wheel", is_mouse_wheel, find_mouse_wheel},
    {"a key's name", is_key_name, find_key_name},
    {"a word", has_no_number, find_unknown_key_name},
    {"a lone digit", is_lone_digit, find_lone_digit},
    {"the fire or aim button", is_fire_or_aim, find_fire_or_aim},
    {"a leading 0, read as octal", is_octal, find_octal},
    {"a look-alike of the x of 0x", is_look_alike_in_hex, find_look_alike_in_hex},
    {"no key's code", names_no_key, find_no_key},
    {"a remark that names another key", remark_names_other_key, find_remark_naming_other_key},
};

// A value longer than the module reads is cut, whatever else it is.
void find_long_value(const Value& value, Diagnosis& diagnosis) {
  if (value.match.value.size() < kValueSize) return;
  Finding finding{FindingKind::kLongValue};
  finding.category = &value.category;
  finding.line = value.match.entry;
  finding.count = value.match.value.size();
  diagnosis.found.push_back(finding);
}

}  // namespace

void diagnose_values(const BindingReadings& readings, const Matches& matches, bool encoding_found,
                     const ProposalCheck& check, Diagnosis& diagnosis) {
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    const Value value{kCategories[row], readings[row], matches[row], encoding_found,
                      readings,         check,         diagnosis};
    if (!value.text().empty()) find_long_value(value, diagnosis);
    for (const ValueRule& rule : kValueRules) {
      if (rule.applies(value)) {
        diagnosis.found.push_back(rule.find(value));
        break;
      }
    }
  }
}

}  // namespace holsterkeys
