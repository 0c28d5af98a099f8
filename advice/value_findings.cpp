// Findings about each binding's value: what the module reads from it, and
// what the player most likely meant instead. Every line the checker tells a
// player to write reads as the key it names.
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

constexpr char kUnboundOnPurpose[] = " with nothing after the '=' leaves it unbound on purpose.";

// What every value finding works with: all five readings, for codes that
// are free; the check of each proposed line; and the diagnosis.
struct Context {
  const BindingReadings& readings;
  const ProposalCheck& check;
  Diagnosis& diagnosis;
};

// `words` giving the line for `code` when it works when followed.
std::string offer(Context& context, const Category& category, KeyCode code,
                  const std::string& words) {
  return offered(context.check, context.diagnosis, proposal_of(category, code), words);
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

// The keys that the value names before its remark, each once: "0x62,0x32",
// "0x65 or 0x35", "Ctrl+1".
std::vector<KeyCode> keys_named(const std::string& text, bool& combination) {
  const std::string_view value = before_remark(text);
  // A '+' in front is the number's sign.
  combination = value.find('+', 1) != std::string_view::npos;
  std::vector<KeyCode> keys;
  for (std::size_t at = 0; at < value.size();) {
    const std::size_t end = std::min(value.find_first_of(" \t,|/+&", at), value.size());
    const auto key = key_of_word(value.substr(at, end - at), combination);
    if (key && std::find(keys.begin(), keys.end(), *key) == keys.end()) keys.push_back(*key);
    at = end + 1;
  }
  return keys;
}

// A value as a status shows it: printable, and short.
std::string short_text(const std::string& text) { return shortened(text, 16); }

std::string fire_or_aim_words(KeyCode code) {
  return code == 0x01 ? "fires on every shot" : "switches on every aim";
}

// ", for example handguns=0x62 for Numpad2." with a free key, where that
// line works when followed; else ". " and how to find a key's code.
std::string example_for(Context& context, const Category& category) {
  const KeyCode code = spare_code(context.readings, category);
  const std::string example =
      offer(context, category, code,
            ", for example " + assignment(category, code) + " for " + shown_key_name(code) + ".");
  return example.empty() ? ". " + std::string(kFindTheCode) : example;
}

// The value without the blanks, quotes and invisible spaces a paste leaves
// around a number, or nothing when any other character that is no ASCII
// letter or digit is in it: a letter of another script that looks like a
// Latin one is not dropped.
std::optional<std::string> without_invisibles(std::string_view text) {
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

// What the player meant where those characters stopped the reading:
// "0x 65" and "\"0x64'" were meant as 0x65 and 0x64. Nothing is guessed
// where what is left could be read two ways, as octal or decimal.
std::string meant_value(Context& context, const Category& category, const std::string& text) {
  const auto kept = without_invisibles(before_remark(text));
  const KeyCodeReading reading = read_key_code(kept.value_or("").c_str());
  if (!kept || !reading.has_digits || reading.end != kept->size() || !names_a_key(reading.code) ||
      reading.base == 8) {
    return ". " + std::string(kFindTheCode);
  }
  const std::string line =
      offer(context, category, reading.code, ". Write " + assignment(category, reading.code) + ".");
  return line.empty() ? ". " + std::string(kFindTheCode) : line;
}

void unbound(const Category& category, const ProfileMatch& match, bool encoding_found,
             Context& context) {
  Diagnosis& diagnosis = context.diagnosis;
  const std::string name = category.name;
  if (match.entry == 0) {
    set_status(diagnosis, category, "not bound");
    // A misnamed line has already given the line to write.
    const bool given =
        std::any_of(diagnosis.proposed.begin(), diagnosis.proposed.end(),
                    [&](const Proposal& line) { return line.category == &category; });
    diagnosis.findings.push_back(
        name + " is not bound: there is no " + name + " line under [Bindings]. " +
        (given ? "Write the line given above." : "Add one" + example_for(context, category)));
  } else if (match.value.empty()) {
    set_status(diagnosis, category, "not bound (on purpose)");
    diagnosis.notes.push_back(name + " is left unbound: its line " + std::to_string(match.entry) +
                              " has no value, so no key selects it. To bind it, write a key's "
                              "code there" +
                              example_for(context, category));
  } else {
    set_status(diagnosis, category, "not read on this system");
    diagnosis.findings.push_back(
        name + " is not bound here: this system's reader does not see line " +
        std::to_string(match.entry) +
        (encoding_found ? ", because of the file's encoding (see above)." : "."));
  }
}

std::string write_named_key(Context& context, const Category& category, KeyCode code) {
  if (const std::string danger = fire_or_aim(code, category); !danger.empty()) {
    return shown_key_name(code) + " is " + key_in_words(code) + ": " + danger +
           ". Pick another key" + example_for(context, category);
  }
  const std::string line =
      offer(context, category, code,
            "Write " + assignment(category, code) + " for " + shown_key_name(code) + ".");
  return line.empty() ? shown_key_name(code) + " is " + hex_code(code) + ". " + kFindTheCode : line;
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

// "ö" or "+" typed where the key's code should be.
void typed_character(const Category& category, const std::string& typed, Context& context) {
  const std::string name = category.name;
  std::string finding = name + ": " + quoted(typed) +
                        " is the character a key types, not the key's code, so it reads as 0 "
                        "and never fires.";
  if (const auto code = code_on_every_layout(typed)) {
    const std::string line =
        offer(context, category, *code,
              " The " + typed + " key sends " + hex_code(*code) +
                  " on every keyboard layout: write " + assignment(category, *code) + ".");
    finding += line.empty() ? " " + std::string(kFindTheCode) : line;
  } else {
    finding +=
        " Which code that key sends depends on the keyboard layout: press it in "
        "holsterkeys-setup, or run holsterkeys-check --keys, to see its code.";
  }
  context.diagnosis.findings.push_back(finding);
}

// The code in a row pasted from a table of key codes, "VK_F2<tab>0x71<tab>F2
// key": the one cell that reads whole as a key's code, where no other cell
// names another key.
std::optional<KeyCode> code_in_table_row(std::string_view text) {
  if (text.find('\t') == std::string_view::npos) return std::nullopt;
  std::optional<KeyCode> code;
  std::vector<KeyCode> named;
  for (std::size_t at = 0; at <= text.size();) {
    const std::size_t end = std::min(text.find('\t', at), text.size());
    const std::string_view cell = text.substr(at, end - at);
    if (const auto number = number_key(cell)) {
      if (code && *code != *number) return std::nullopt;
      code = number;
    } else if (const auto key = key_code_named(cell)) {
      named.push_back(*key);
    }
    at = end + 1;
  }
  if (!code) return std::nullopt;
  for (KeyCode key : named) {
    if (key != *code) return std::nullopt;
  }
  return code;
}

// A key's name, a word or a stray character where the number should start.
void no_number(const Category& category, const BindingReading& reading, Context& context) {
  Diagnosis& diagnosis = context.diagnosis;
  const std::string name = category.name;
  const std::string& text = reading.text;
  const std::string start = name + ": " + quoted(text) + " is not a number";
  const bool wheel = names_mouse_wheel(text);
  set_status(
      diagnosis, category,
      wheel ? "mouse wheel: cannot be bound" : short_text(text) + " is not a number: reads as 0");
  if (const std::string typed(before_remark(text)); is_one_typed_character(typed)) {
    return typed_character(category, typed, context);
  }
  if (!std::isalpha(static_cast<unsigned char>(text[reading.number.digits]))) {
    diagnosis.findings.push_back(start + ": the module stops reading at " +
                                 character_at(text, reading.number.digits) + " and reads 0, so " +
                                 name + " never fires" + meant_value(context, category, text));
    return;
  }
  if (wheel) {
    diagnosis.findings.push_back(start +
                                 " but the mouse wheel, which has no key code and cannot "
                                 "be bound, so it reads as 0 and never fires. Bind a key or a "
                                 "mouse button instead" +
                                 example_for(context, category));
    return;
  }
  auto named = key_code_named(before_remark(text));
  if (!named) named = code_in_table_row(before_remark(text));
  diagnosis.findings.push_back(
      start + ", so it reads as 0 and never fires. " +
      (named ? write_named_key(context, category, *named)
             : "Write the key's code instead: holsterkeys-check --keys shows the code of each "
               "key you press."));
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
  std::string word(before_remark(text));
  for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const char* off :
       {"none", "off", "disabled", "disable", "unbound", "unassigned", "null", "nothing", "-"}) {
    if (word == off) return true;
  }
  return false;
}

// A value that means off and is off: the module reads 0, which no key has.
void off_on_purpose(const Category& category, const BindingReading& reading, Context& context) {
  const std::string name = category.name;
  set_status(context.diagnosis, category, "not bound (on purpose)");
  std::string note = name + ": " + quoted(reading.text) + " leaves " + name + " unbound; " + name +
                     "= with nothing after it says so plainly.";
  if (written_digit(reading) == 0) {
    note +=
        offer(context, category, '0', " For the 0 key write " + assignment(category, '0') + ".");
  }
  context.diagnosis.notes.push_back(note);
}

// A lone digit is a key code, not the digit's key: "2" is the right mouse
// button, and the 2 key is 0x32.
void lone_digit(const Category& category, const BindingReading& reading, int digit_value,
                Context& context) {
  const KeyCode code = reading.number.code;
  const std::string digit = std::to_string(digit_value);
  const std::string written = std::string(before_remark(reading.text));
  const std::string key = key_in_words(code);
  const std::string danger = fire_or_aim(code, category);
  set_status(
      context.diagnosis, category,
      danger.empty() ? written + " is " + (key.empty() ? "no key" : key) : fire_or_aim_words(code));
  std::string advice =
      offer(context, category, '0' + code,
            " For the " + digit + " key write " + assignment(category, '0' + code));
  if (code >= 4 && code <= 6) {
    const std::string plainly =
        offer(context, category, code,
              " for " + key + " write " + assignment(category, code) + ", which says so plainly");
    advice += advice.empty() || plainly.empty() ? plainly : ";" + plainly;
  }
  context.diagnosis.findings.push_back(
      std::string(category.name) + ": " + written + " is the code of " +
      (key.empty() ? "no key" : key) + ", not of the " + digit + " key" +
      (danger.empty() ? "" : ": " + danger) + "." +
      (advice.empty() ? " The " + digit + " key is " + hex_code('0' + code) + ". " + kFindTheCode
                      : advice + "."));
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

void octal(const Category& category, const BindingReading& reading, Context& context) {
  const KeyCode code = reading.number.code;
  set_status(context.diagnosis, category, "octal: reads as " + std::to_string(code));
  context.diagnosis.findings.push_back(
      std::string(category.name) + ": " + quoted(reading.text) +
      " starts with 0, so it is read as an octal number: " + std::to_string(code) + " (" +
      hex_code(code) + "). Drop the leading 0 for a decimal number, or write it as 0x...");
}

// "#66" and "66h" are hexadecimal elsewhere; the module reads them otherwise.
void other_hex(const Category& category, const BindingReading& reading, KeyCode meant,
               Context& context) {
  const std::string line =
      offer(context, category, meant,
            " Write " + assignment(category, meant) + " for " + shown_key_name(meant) + ".");
  set_status(context.diagnosis, category,
             short_text(reading.text) + " reads as " + std::to_string(reading.number.code) +
                 (line.empty() ? "" : ": write " + hex_code(meant)));
  context.diagnosis.findings.push_back(
      std::string(category.name) + ": " + quoted(reading.text) +
      " looks like a hexadecimal number written as other programs write it, but the module "
      "understands only the 0x form: it reads " +
      std::to_string(reading.number.code) + "." +
      (line.empty() ? " " + std::string(kFindTheCode) : line));
}

// One category takes one key: "0x11+0x32" binds Ctrl alone, "0x62,0x32"
// the first key alone.
void more_keys(const Category& category, const BindingReading& reading,
               const std::vector<KeyCode>& keys, Context& context) {
  const std::string name = category.name;
  const KeyCode read = reading.number.code;
  set_status(
      context.diagnosis, category,
      "one key only: reads " + (names_a_key(read) ? shown_key_name(read) : std::to_string(read)));
  std::string finding = name + ": " + quoted(reading.text) +
                        " names more than one key, but a category takes one key, and key "
                        "combinations cannot be bound. ";
  finding +=
      names_a_key(read)
          ? "The module reads only " + shown_key_name(read) + " (" + hex_code(read) +
                "), so every " + shown_key_name(read) + " press alone selects " + name + "."
          : "The module reads it as " + std::to_string(read) + ", so " + name + " never fires.";
  std::vector<std::string> choices;
  for (KeyCode key : keys) {
    if (fire_or_aim(key, category).empty()) {
      const std::string choice =
          offer(context, category, key, assignment(category, key) + " for " + shown_key_name(key));
      if (!choice.empty()) choices.push_back(choice);
    }
  }
  if (!choices.empty()) {
    finding += " Keep one key: " + joined(choices, ", or ") + ".";
  } else if (!keys.empty()) {
    finding += std::string(" ") + kFindTheCode;
  }
  context.diagnosis.findings.push_back(finding);
}

// Where reading stopped short of a key: "0x 65" stops at the blank.
void not_a_key(const Category& category, const BindingReading& reading, Context& context) {
  const std::string& text = reading.text;
  const KeyCodeReading& number = reading.number;
  const std::string name = category.name;
  set_status(context.diagnosis, category, "no key has code " + std::to_string(number.code));
  std::size_t stop = number.end;
  const bool bare_prefix = stop < text.size() && (text[stop] == 'x' || text[stop] == 'X');
  if (bare_prefix) ++stop;
  if (!bare_prefix && ends_cleanly(text, stop)) {
    context.diagnosis.findings.push_back(name + ": " + std::to_string(number.code) +
                                         " is not the code of any key, so it never fires. Key "
                                         "codes run from 0x01 to 0xFE.");
    return;
  }
  const std::string off = number.code == 0 ? " " + name + "=" + kUnboundOnPurpose : "";
  context.diagnosis.findings.push_back(
      name + ": in " + quoted(text) + " the module stops reading at " + character_at(text, stop) +
      (bare_prefix ? " after \"0x\"" : "") + " and reads " + std::to_string(number.code) + ", so " +
      name + " never fires" + meant_value(context, category, text) + off);
}

void long_value(const Category& category, const ProfileMatch& match, Diagnosis& diagnosis) {
  if (match.value.size() < kValueSize) return;
  diagnosis.notes.push_back(std::string(category.name) + ": the value on line " +
                            std::to_string(match.entry) + " is " +
                            std::to_string(match.value.size()) +
                            " characters long, and the module reads only the first " +
                            std::to_string(kValueSize - 1) + ".");
}

// A number that reads as 0 and is all of the value, however written:
// "0", "-0", "0x0 ; off".
bool reads_as_zero(const BindingReading& reading) {
  return is_the_whole_value(reading) && reading.number.code == 0;
}

void value(const Category& category, const BindingReading& reading, const ProfileMatch& match,
           bool encoding_found, Context& context) {
  const KeyCodeReading& number = reading.number;
  if (reading.text.empty()) return unbound(category, match, encoding_found, context);
  long_value(category, match, context.diagnosis);
  if (means_off(reading.text) || reads_as_zero(reading)) {
    return off_on_purpose(category, reading, context);
  }
  if (const auto meant = other_hex_notation(reading.text);
      meant && *meant != number.code && names_a_key(*meant)) {
    return other_hex(category, reading, *meant, context);
  }
  bool combination = false;
  const std::vector<KeyCode> keys = keys_named(reading.text, combination);
  if (combination || keys.size() > 1) return more_keys(category, reading, keys, context);
  if (!number.has_digits) return no_number(category, reading, context);
  if (const auto digit = written_digit(reading)) {
    return lone_digit(category, reading, *digit, context);
  }
  if (const std::string danger = fire_or_aim(number.code, category); !danger.empty()) {
    set_status(context.diagnosis, category, fire_or_aim_words(number.code));
    context.diagnosis.findings.push_back(std::string(category.name) + ": " + quoted(reading.text) +
                                         " is " + key_in_words(number.code) + ": " + danger +
                                         ". Pick another key" + example_for(context, category));
    return;
  }
  if (is_octal_trap(number, reading.text)) return octal(category, reading, context);
  if (!names_a_key(number.code)) not_a_key(category, reading, context);
}

}  // namespace

std::string fire_or_aim(KeyCode code, const Category& category) {
  const std::string name = category.name;
  if (code == 0x01) return "it fires, so every shot would also switch to " + name;
  if (code == 0x02) return "it aims, so every time you aim the game would switch to " + name;
  return {};
}

// Under Wine, a dead key (one that puts an accent on the next letter)
// reaches no program on its first press; the second, which completes the
// accent, comes as 0xFC, a code that no keyboard sends on Windows.
constexpr KeyCode kAccentCompleted = 0xFC;

std::string press_danger(KeyCode code, const Category& category) {
  if (code == kAccentCompleted) {
    return "under Wine, a key that puts an accent on the next letter, as ^ and ´ do, reaches "
           "the game only on every second press";
  }
  return fire_or_aim(code, category);
}

std::string refused_press(KeyCode code, const Category& category) {
  const std::string danger = press_danger(code, category);
  if (danger.empty()) return {};
  return "Not " + (code == kAccentCompleted ? "this key" : key_in_words(code)) + ": " + danger;
}

bool names_a_key(KeyCode code) { return is_key_code(code) && !key_name(code).empty(); }

void diagnose_values(const BindingReadings& readings, const Matches& matches, bool encoding_found,
                     const ProposalCheck& check, Diagnosis& diagnosis) {
  Context context{readings, check, diagnosis};
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    value(kCategories[row], readings[row], matches[row], encoding_found, context);
  }
}

}  // namespace holsterkeys
