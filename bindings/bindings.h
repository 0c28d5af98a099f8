// The categories, and the rule that turns a configured text into a key code.
//
// Nothing here touches the platform: the configuration file is reached
// through an injected profile reader, so the same code runs inside the
// module, in the checker and in the unit tests.
#pragma once

#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>

#include "bindings/host.h"

namespace holsterkeys {

// A Windows virtual-key code as configured; 0 never fires.
using KeyCode = std::int32_t;
// The value stored into the host's slot variable, 2 to 6.
using SlotNumber = std::int32_t;

// A weapon category: its entry name in the "Bindings" section, the slot it
// selects, and what players call it, in English (the tools show that in
// the player's language). Its key code is read from the file afresh in
// every cycle.
struct Category {
  constexpr Category(const char* entry_name, SlotNumber slot_number, const char* english)
      : name(entry_name), slot(slot_number), in_words(english) {}
  const char* name;
  SlotNumber slot;
  const char* in_words;
};

// Row order is both read order and poll order; the last active row wins.
inline constexpr std::array<Category, 5> kCategories{
    Category("handguns", 2, "Handguns"),
    Category("machineguns", 5, "Machine guns"),
    Category("submachine", 4, "Submachine guns"),
    Category("shotgun", 3, "Shotgun"),
    Category("rifle", 6, "Rifles"),
};
inline constexpr std::size_t kCategoryCount = kCategories.size();

// The slot numbers the table holds, the only values ever stored.
inline constexpr SlotNumber kLowestSlot = 2;
inline constexpr SlotNumber kHighestSlot = 6;
constexpr bool is_slot_number(SlotNumber slot) {
  return slot >= kLowestSlot && slot <= kHighestSlot;
}
constexpr bool each_slot_once() {
  for (SlotNumber slot = kLowestSlot; slot <= kHighestSlot; ++slot) {
    int rows = 0;
    for (const Category& category : kCategories) rows += category.slot == slot;
    if (rows != 1) return false;
  }
  return kCategories.size() == static_cast<std::size_t>(kHighestSlot - kLowestSlot + 1);
}
static_assert(each_slot_once(), "each slot from the lowest to the highest has one category");

// A category's row in the table, for arrays kept in row order.
inline std::size_t row_of(const Category& category) {
  return static_cast<std::size_t>(&category - kCategories.data());
}

// One value text: at most 99 characters and the terminating NUL.
inline constexpr std::size_t kValueSize = 100;

using ValueText = char[kValueSize];
using KeyCodes = std::array<KeyCode, kCategoryCount>;

// The codes a key or mouse button can have. Windows never reports any
// other code as down, so a category bound to one never fires.
constexpr bool is_key_code(KeyCode code) { return code >= 1 && code <= 255; }

// A profile reader fills `value` with the text of the entry `name` in the
// "Bindings" section of the configuration file: NUL-terminated, cut to 99
// characters, and empty when the file, the section or the entry is missing.
template <class Reader>
concept ProfileReader = requires(Reader& reader, const char* name, ValueText& value) {
  reader.read_value(name, value);
};

// How a text was read as a key code. Offsets count from the text's start.
struct KeyCodeReading {
  KeyCode code;
  unsigned base;       // 8, 10 or 16
  std::size_t digits;  // where the digits begin: past blanks, sign and "0x"
  bool has_digits;     // false when no number starts there, and the code is 0
  std::size_t end;     // where reading stopped: the first character not taken
};

// Reads a text as strtol with base 0 does where long is 32 bits wide:
// decimal, 0x hexadecimal or 0 octal, trailing text ignored, no digits
// giving 0, and out-of-range numbers clamped to the 32-bit limits.
KeyCodeReading read_key_code(const char* text);

inline KeyCode parse_key_code(const char* text) { return read_key_code(text).code; }

using ValueTexts = ValueText[kCategoryCount];

// Reads the five value texts in row order.
template <ProfileReader Reader>
void read_value_texts(Reader& reader, ValueTexts& texts) {
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    // A reader that leaves the buffer untouched or unterminated must still
    // yield a text, so start empty and always end with a NUL.
    texts[row][0] = '\0';
    reader.read_value(kCategories[row].name, texts[row]);
    texts[row][kValueSize - 1] = '\0';
  }
}

// Reads all five texts in row order, then parses them in the same order.
template <ProfileReader Reader>
KeyCodes read_key_codes(Reader& reader) {
  ValueTexts texts;
  read_value_texts(reader, texts);
  KeyCodes codes{};
  for (std::size_t row = 0; row < kCategoryCount; ++row) {
    codes[row] = parse_key_code(texts[row]);
  }
  return codes;
}

}  // namespace holsterkeys
