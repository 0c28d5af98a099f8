#include "keys/key_names.h"

#include "keys/player_text.h"
#include "text/say.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace holsterkeys {
namespace {

struct NamedKey {
  KeyCode code;
  const char* name;
};

// clang-format off
// Every named code outside the runs of letters, digits, function keys and
// numpad digits, which are made by key_name below. The names are portable:
// files name keys by them, and every layout reads them back. Those marked
// words() are shown in the player's language.
constexpr NamedKey kNamedKeys[] = {
    {0x01, words("Mouse Left")}, {0x02, words("Mouse Right")}, {0x03, words("Cancel")}, {0x04, words("Mouse Middle")},
    {0x05, words("Mouse X1")}, {0x06, words("Mouse X2")}, {0x08, words("Backspace")}, {0x09, words("Tab")},
    {0x0C, words("Clear")}, {0x0D, words("Enter")}, {0x10, words("Shift")}, {0x11, words("Ctrl")}, {0x12, words("Alt")},
    {0x13, words("Pause")}, {0x14, words("Caps Lock")}, {0x15, "IME Kana"}, {0x16, "IME On"},
    {0x17, "IME Junja"}, {0x18, "IME Final"}, {0x19, "IME Kanji"}, {0x1A, "IME Off"},
    {0x1B, words("Esc")}, {0x1C, "IME Convert"}, {0x1D, "IME Nonconvert"}, {0x1E, "IME Accept"},
    {0x1F, "IME Mode Change"}, {0x20, words("Space")}, {0x21, words("Page Up")}, {0x22, words("Page Down")},
    {0x23, words("End")}, {0x24, words("Home")}, {0x25, words("Left")}, {0x26, words("Up")}, {0x27, words("Right")},
    {0x28, words("Down")}, {0x29, words("Select")}, {0x2A, words("Print")}, {0x2B, words("Execute")},
    {0x2C, words("Print Screen")}, {0x2D, words("Insert")}, {0x2E, words("Delete")}, {0x2F, words("Help")},
    {0x5B, words("Left Windows")}, {0x5C, words("Right Windows")}, {0x5D, words("Apps")}, {0x5F, words("Sleep")},
    {0x6A, words("Numpad *")}, {0x6B, words("Numpad +")}, {0x6C, "Separator"}, {0x6D, words("Numpad -")},
    {0x6E, words("Numpad .")}, {0x6F, words("Numpad /")}, {0x90, words("Num Lock")}, {0x91, words("Scroll Lock")},
    {0x92, "OEM 0x92"}, {0x93, "OEM 0x93"}, {0x94, "OEM 0x94"}, {0x95, "OEM 0x95"},
    {0x96, "OEM 0x96"}, {0xA0, words("Left Shift")}, {0xA1, words("Right Shift")}, {0xA2, words("Left Ctrl")},
    {0xA3, words("Right Ctrl")}, {0xA4, words("Left Alt")}, {0xA5, words("Right Alt")}, {0xA6, words("Browser Back")},
    {0xA7, words("Browser Forward")}, {0xA8, words("Browser Refresh")}, {0xA9, words("Browser Stop")},
    {0xAA, words("Browser Search")}, {0xAB, words("Browser Favorites")}, {0xAC, words("Browser Home")},
    {0xAD, words("Volume Mute")}, {0xAE, words("Volume Down")}, {0xAF, words("Volume Up")}, {0xB0, words("Next Track")},
    {0xB1, words("Previous Track")}, {0xB2, words("Stop Media")}, {0xB3, words("Play/Pause")}, {0xB4, words("Mail")},
    {0xB5, words("Select Media")}, {0xB6, words("Launch App 1")}, {0xB7, words("Launch App 2")}, {0xBA, "; :"},
    {0xBB, "= +"}, {0xBC, ", <"}, {0xBD, "- _"}, {0xBE, ". >"}, {0xBF, "/ ?"}, {0xC0, "` ~"},
    {0xC1, "ABNT C1 (/ ?)"}, {0xC2, "ABNT C2 (Numpad .)"},
    {0xDB, "[ {"}, {0xDC, "\\ |"}, {0xDD, "] }"}, {0xDE, "' \""}, {0xDF, "OEM 8"},
    {0xE1, "OEM 0xE1"}, {0xE2, "< > (102nd key)"}, {0xE3, "OEM 0xE3"}, {0xE4, "OEM 0xE4"},
    {0xE5, "IME Process"}, {0xE6, "OEM 0xE6"}, {0xE7, "Packet"}, {0xE9, "OEM 0xE9"},
    {0xEA, "OEM 0xEA"}, {0xEB, "OEM 0xEB"}, {0xEC, "OEM 0xEC"}, {0xED, "OEM 0xED"},
    {0xEE, "OEM 0xEE"}, {0xEF, "OEM 0xEF"}, {0xF0, "OEM 0xF0"}, {0xF1, "OEM 0xF1"},
    {0xF2, "OEM 0xF2"}, {0xF3, "OEM 0xF3"}, {0xF4, "OEM 0xF4"}, {0xF5, "OEM 0xF5"},
    {0xF6, "Attn"}, {0xF7, "CrSel"}, {0xF8, "ExSel"}, {0xF9, "Erase EOF"}, {0xFA, "Play"},
    {0xFB, "Zoom"}, {0xFC, "NoName"}, {0xFD, "PA1"}, {0xFE, "OEM Clear"},
};

// Other spellings players use for a named code. A spelling that differs
// from a name above only in case, blanks or underscores needs none.
constexpr NamedKey kAliases[] = {
    {0x01, "LButton"}, {0x02, "RButton"}, {0x04, "MButton"}, {0x05, "XButton1"},
    {0x06, "XButton2"}, {0x05, "Mouse4"}, {0x06, "Mouse5"}, {0x0D, "Return"},
    {0x11, "Control"}, {0x12, "Menu"}, {0x1B, "Escape"}, {0x21, "PgUp"}, {0x22, "PgDn"},
    {0x2E, "Del"}, {0x2D, "Ins"}, {0x14, "Capital"}, {0x25, "Left Arrow"},
    {0x26, "Up Arrow"}, {0x27, "Right Arrow"}, {0x28, "Down Arrow"},
    {0xA0, "LShift"}, {0xA1, "RShift"}, {0xA2, "LCtrl"}, {0xA3, "RCtrl"}, {0xA2, "LControl"},
    {0xA3, "RControl"}, {0xA4, "LAlt"}, {0xA5, "RAlt"}, {0xA4, "LMenu"}, {0xA5, "RMenu"},
    {0x6A, "Multiply"}, {0x6B, "Add"}, {0x6D, "Subtract"}, {0x6E, "Decimal"},
    {0x6F, "Divide"}, {0x91, "Scroll"}, {0x2C, "Snapshot"}, {0x24, "Pos1"}, {0x13, "Break"},
    // Windows' own names, as in VK_PRIOR, where they differ from the above.
    {0x08, "Back"}, {0x21, "Prior"}, {0x22, "Next"}, {0x5B, "LWin"}, {0x5C, "RWin"},
    {0x15, "Kana"}, {0x15, "Hangul"}, {0x19, "Hanja"},
    {0x19, "Kanji"}, {0x1C, "Convert"}, {0x1D, "NonConvert"}, {0xBA, "OEM1"},
    {0xBB, "OEMPlus"}, {0xBC, "OEMComma"}, {0xBD, "OEMMinus"}, {0xBE, "OEMPeriod"},
    {0xBF, "OEM2"}, {0xC0, "OEM3"}, {0xDB, "OEM4"}, {0xDC, "OEM5"}, {0xDD, "OEM6"},
    {0xDE, "OEM7"}, {0xE2, "OEM102"}, {0xC1, "ABNTC1"}, {0xC2, "ABNTC2"}, {0xE5, "ProcessKey"},
    {0xB0, "MediaNextTrack"}, {0xB1, "MediaPrevTrack"}, {0xB2, "MediaStop"},
    {0xB3, "MediaPlayPause"},
    {0xB4, "LaunchMail"}, {0xB5, "LaunchMediaSelect"},
    // As other programs and keyboards label them.
    {0x5B, "Win"}, {0x5B, "Windows"}, {0x5B, "Left Win"}, {0x5C, "Right Win"},
    {0x5D, "Context Menu"}, {0x0D, "NumpadEnter"}, {0x26, "ArrowUp"}, {0x28, "ArrowDown"},
    {0x25, "ArrowLeft"}, {0x27, "ArrowRight"}, {0x2C, "PrtSc"}, {0x2C, "PrtScn"},
    {0x08, "BkSp"}, {0x20, "Spacebar"},
    {0x6A, "NumpadMultiply"}, {0x6B, "NumpadAdd"}, {0x6B, "NumpadPlus"},
    {0x6D, "NumpadSubtract"}, {0x6D, "NumpadMinus"}, {0x6E, "NumpadDecimal"},
    {0x6E, "NumpadDel"}, {0x6F, "NumpadDivide"},
    // X keysyms, as Linux players see them in xev.
    {0x0D, "KP_Enter"}, {0x6A, "KP_Multiply"}, {0x6B, "KP_Add"}, {0x6D, "KP_Subtract"},
    {0x6E, "KP_Decimal"}, {0x6F, "KP_Divide"}, {0x5B, "Super_L"}, {0x5C, "Super_R"},
    {0xA0, "Shift_L"}, {0xA1, "Shift_R"}, {0xA2, "Control_L"}, {0xA3, "Control_R"},
    {0xA4, "Alt_L"}, {0xA5, "Alt_R"}, {0xA5, "ISO_Level3_Shift"}, {0x2C, "Sys_Req"},
    // Gamers' names of mouse buttons.
    {0x01, "Mouse1"}, {0x02, "Mouse2"}, {0x04, "Mouse3"}, {0x04, "MMB"}, {0x01, "LMB"},
    {0x02, "RMB"}, {0x05, "Thumb"}, {0x05, "Thumb1"}, {0x06, "Thumb2"}, {0x05, "Back Button"},
    {0x06, "Forward Button"}, {0x04, "Wheel Click"}, {0x04, "Middle Click"},
    // Windows' names that the ones above do not spell.
    {0x15, "Hangeul"}, {0x17, "Junja"}, {0x18, "Final"}, {0x1E, "Accept"},
    {0x1F, "ModeChange"}, {0xF9, "EREOF"},
    // The web's KeyboardEvent.code names, where the ones above do not spell them.
    {0xA2, "ControlLeft"}, {0xA3, "ControlRight"}, {0xA0, "ShiftLeft"}, {0xA1, "ShiftRight"},
    {0xA4, "AltLeft"}, {0xA5, "AltRight"}, {0x5B, "MetaLeft"}, {0x5C, "MetaRight"},
    {0xC0, "Backquote"}, {0xBD, "Minus"}, {0xBB, "Equal"}, {0xDB, "BracketLeft"},
    {0xDD, "BracketRight"}, {0xDC, "Backslash"}, {0xBA, "Semicolon"}, {0xDE, "Quote"},
    {0xBC, "Comma"}, {0xBE, "Period"}, {0xBF, "Slash"}, {0xE2, "IntlBackslash"},
    // Game engines' names.
    {0xA2, "LeftControl"}, {0xA3, "RightControl"}, {0x01, "Mouse0"}, {0x6B, "KeypadPlus"},
    {0x6D, "KeypadMinus"}, {0x6A, "KeypadMultiply"}, {0x6F, "KeypadDivide"},
    {0x6E, "KeypadPeriod"}, {0x0D, "KeypadEnter"}, {0xA5, "AltGr"},
    // The keys' labels on German, French, Spanish, Portuguese, Italian,
    // Polish and Russian keyboards.
    {0x11, "Strg"}, {0x10, "Umschalt"}, {0x10, "Maj"}, {0x10, "Mayús"}, {0x10, "Mayus"},
    {0x10, "Maiusc"}, {0x20, "Leertaste"}, {0x20, "Espace"}, {0x20, "Espacio"},
    {0x20, "Barra espaciadora"}, {0x20, "Espaço"}, {0x20, "Spazio"}, {0x20, "Spacja"},
    {0x20, "Пробел"}, {0x0D, "Eingabe"}, {0x0D, "Entrée"}, {0x0D, "Intro"}, {0x0D, "Invio"},
    {0x0D, "Ввод"}, {0x2E, "Entf"}, {0x2E, "Suppr"}, {0x2E, "Supr"}, {0x2E, "Canc"},
    {0x2E, "Удалить"}, {0x2D, "Einfg"}, {0x2D, "Inser"}, {0x2D, "Insertar"}, {0x2D, "Вставка"},
    {0x24, "Origine"}, {0x24, "Inicio"}, {0x24, "Início"}, {0x24, "Inizio"}, {0x23, "Ende"},
    {0x23, "Fin"}, {0x23, "Fim"}, {0x23, "Fine"}, {0x21, "Bild auf"}, {0x22, "Bild ab"},
    {0x21, "Page préc"}, {0x22, "Page suiv"}, {0x21, "Re Pág"}, {0x22, "Av Pág"},
    {0x21, "Pag su"}, {0x22, "Pag giù"}, {0x09, "Tabulator"}, {0x09, "Tabulación"},
    {0x08, "Rücktaste"}, {0x08, "Retour arrière"}, {0x08, "Retroceso"}, {0x08, "Retrocesso"},
    {0x14, "Feststelltaste"}, {0x14, "Verr Maj"}, {0x14, "Bloq Mayús"}, {0x14, "Bloc Maiusc"},
    {0x90, "Verr Num"}, {0x90, "Bloq Num"}, {0x90, "Bloc Num"}, {0x1B, "Échap"}, {0x1B, "Echap"},
    {0x25, "Pfeil links"}, {0x27, "Pfeil rechts"}, {0x26, "Pfeil oben"}, {0x28, "Pfeil unten"},
    {0x25, "Flèche gauche"}, {0x27, "Flèche droite"}, {0x26, "Flèche haut"},
    {0x28, "Flèche bas"}, {0x25, "Flecha izquierda"}, {0x27, "Flecha derecha"},
    {0x26, "Flecha arriba"}, {0x28, "Flecha abajo"}, {0x25, "Seta esquerda"},
    {0x27, "Seta direita"}, {0x26, "Seta acima"}, {0x28, "Seta abaixo"},
    {0x25, "Freccia sinistra"}, {0x27, "Freccia destra"}, {0x26, "Freccia su"},
    {0x28, "Freccia giù"}, {0x25, "Strzałka w lewo"}, {0x27, "Strzałka w prawo"},
    {0x26, "Strzałka w górę"}, {0x28, "Strzałka w dół"}, {0x25, "Стрелка влево"},
    {0x27, "Стрелка вправо"}, {0x26, "Стрелка вверх"}, {0x28, "Стрелка вниз"},
    {0x2D, "Einfügen"}, {0x2C, "Druck"}, {0x91, "Rollen"}, {0x26, "Pfeil nach oben"},
    {0x28, "Pfeil nach unten"}, {0x25, "Pfeil nach links"}, {0x27, "Pfeil nach rechts"},
    {0x09, "Tabulation"}, {0x14, "Verr. maj."}, {0x21, "Page préc."}, {0x22, "Page suiv."},
    {0x2C, "Impr. écran"}, {0x2C, "Impr écran"}, {0x91, "Arrêt défil."}, {0x91, "Arrêt défil"},
    {0x90, "Verr. num."}, {0x2C, "Impr Pant"}, {0x91, "Bloq Despl"}, {0x20, "Barra de espaço"},
    {0x26, "Seta para cima"}, {0x28, "Seta para baixo"}, {0x25, "Seta para a esquerda"},
    {0x27, "Seta para a direita"}, {0x5B, "Tecla Windows"}, {0x20, "Barra spaziatrice"},
    {0x2C, "Stamp"}, {0x91, "Bloc Scorr"}, {0xA0, "Lewy Shift"}, {0xA1, "Prawy Shift"},
    {0xA2, "Lewy Ctrl"}, {0xA3, "Prawy Ctrl"}, {0xA4, "Lewy Alt"}, {0xA5, "Prawy Alt"},
    {0x5B, "Klawisz Windows"}, {0x2E, "Usuń"}, {0x2D, "Wstaw"}, {0x10, "Шифт"},
    {0x11, "Контрол"}, {0x11, "Ктрл"}, {0x12, "Альт"}, {0x0D, "Энтер"}, {0x09, "Таб"},
    {0x1B, "Эскейп"}, {0x1B, "Эск"}, {0x08, "Бэкспейс"}, {0x14, "Капслок"}, {0x24, "Домой"},
    {0x23, "Конец"}, {0x13, "Пауза"},
    // Other engines' names of the mouse's side buttons and of the numpad's
    // keys; "NumPadSeven" and the like are read with the numbered keys.
    {0x05, "ThumbMouseButton"}, {0x06, "ThumbMouseButton2"}, {0x01, "LeftMouseButton"},
    {0x02, "RightMouseButton"}, {0x04, "MiddleMouseButton"}, {0x05, "MouseButton4"},
    {0x06, "MouseButton5"}, {0x05, "MB4"}, {0x06, "MB5"}, {0x05, "X1"}, {0x06, "X2"},
};

// Windows sets the code of Shift, Ctrl or Alt whenever the key of either
// side is down, so one press sets two codes.
struct SidedModifier {
  KeyCode either, left, right;
};
constexpr SidedModifier kSidedModifiers[] = {
    {0x10, 0xA0, 0xA1}, {0x11, 0xA2, 0xA3}, {0x12, 0xA4, 0xA5}};

// Numbered keys by the prefixes of their names: "KP_2" and "NumPad-6" are
// numpad digits, "VK_F3" and "F3" the same function key.
struct NumberedKeys {
  const char* prefix;
  KeyCode first;
  int lowest, highest;
};
constexpr NumberedKeys kNumberedKeys[] = {
    {"numpad", 0x60, 0, 9}, {"num", 0x60, 0, 9}, {"kp", 0x60, 0, 9}, {"keypad", 0x60, 0, 9},
    {"f", 0x70, 1, 24}, {"digit", 0x30, 0, 9}, {"alpha", 0x30, 0, 9},
};
// clang-format on

// A capital of Latin-1, of Latin Extended-A (the letters of Central
// European languages) or of the Cyrillic alphabet in lower case, as
// keyboards of other languages label keys: "ENTRÉE" is "entrée", "STRZAŁKA"
// is "strzałka".
char32_t lower_letter(char32_t code) {
  if ((code >= 0xC0 && code <= 0xDE && code != 0xD7) || (code >= 0x410 && code <= 0x42F)) {
    return code + 0x20;
  }
  if (code >= 0x400 && code <= 0x40F) return code + 0x50;
  // In Latin Extended-A a capital and its small letter stand side by side,
  // the capital on an even code but from Ĺ to Ň and from Ź to Ž.
  const bool odd_capitals = (code >= 0x139 && code <= 0x148) || (code >= 0x179 && code <= 0x17E);
  if (code >= 0x100 && code <= 0x17E && code != 0x138 && code != 0x149) {
    return (code % 2 == 1) == odd_capitals ? code + 1 : code;
  }
  return code;
}

std::string lower_letters(std::string_view text) {
  std::string lower;
  for (std::size_t at = 0; at < text.size();) {
    const TextCharacter c = decode_at(text, at);
    lower += c.unicode ? utf8_of(lower_letter(c.code)) : std::string(text.substr(at, c.size));
    at += c.size;
  }
  return lowercase(lower);
}

// Names compare without case, blanks, underscores or the hyphen of a
// compound name, and without a pair of quotes around them: "Page Up" is
// "PAGE_UP", "NumPad-6" is "numpad6", and "\"NUMPAD1\"" is "numpad1". A
// byte that starts no UTF-8 character is read in the ANSI code page.
std::string folded(std::string_view written, AnsiCodePage page = AnsiCodePage::k1252) {
  const std::string utf8 = as_utf8(written, page);
  std::string_view name = utf8;
  if (name.size() >= 2 && (name.front() == '"' || name.front() == '\'') &&
      name.back() == name.front()) {
    name = name.substr(1, name.size() - 2);
  }
  auto alnum = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; };
  std::string result;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (c == ' ' || c == '_' || c == '\t') continue;
    if (c == '-' && i > 0 && i + 1 < name.size() && alnum(name[i - 1]) && alnum(name[i + 1])) {
      continue;
    }
    result.push_back(c);
  }
  return lower_letters(result);
}

// A number written as a numeral or, as some engines name numpad keys
// ("NumPadSeven"), as an English word.
std::optional<int> number_in(std::string_view written) {
  constexpr std::string_view kWords[] = {"zero", "one", "two",   "three", "four",
                                         "five", "six", "seven", "eight", "nine"};
  for (int value = 0; value < 10; ++value) {
    if (written == kWords[value]) return value;
  }
  if (written.empty() || written.size() > 2 ||
      written.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  return std::stoi(std::string(written));
}

std::optional<KeyCode> numbered_key(const std::string& name) {
  for (const NumberedKeys& keys : kNumberedKeys) {
    const std::string_view prefix = keys.prefix;
    if (!name.starts_with(prefix)) continue;
    const auto value = number_in(std::string_view(name).substr(prefix.size()));
    if (value && *value >= keys.lowest && *value <= keys.highest) {
      return keys.first + *value - keys.lowest;
    }
  }
  return std::nullopt;
}

std::optional<KeyCode> aliased(const std::string& name) {
  for (const NamedKey& alias : kAliases) {
    if (folded(alias.name) == name) return alias.code;
  }
  return std::nullopt;
}

LayoutLabel layout_character = nullptr;
LayoutLabel layout_key_name = nullptr;

// Codes that key_name names by their label on US keyboards.
bool named_by_us_label(KeyCode code) {
  return (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z') ||
         (code >= 0xBA && code <= 0xC0) || (code >= 0xDB && code <= 0xDE);
}

// Mouse buttons and numpad keys look the same on every layout; the numpad's
// characters ("2", "*") would only hide which key it is.
bool labelled_alike_everywhere(KeyCode code) {
  return code <= 0x06 || (code >= 0x60 && code <= 0x6F);
}

// Names that give no more than a code: "OEM 0xE4", "OEM 8", "NoName".
bool names_only_a_code(const std::string& name) {
  return name.starts_with("OEM ") || name == "NoName";
}

// The character the key types, or the layout's name where the portable
// one says nothing.
std::string layout_label(KeyCode code, const std::string& name) {
  const std::string character = layout_character(code);
  return character.empty() && names_only_a_code(name) ? layout_key_name(code) : character;
}

// True when `label` is the name or one of the characters it lists: "; :"
// already says what the ";" of a US keyboard is.
bool label_in_name(const std::string& label, const std::string& name) {
  std::size_t start = 0;
  while (start <= name.size()) {
    const std::size_t end = std::min(name.find(' ', start), name.size());
    if (name.compare(start, end - start, label) == 0) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

void label_keys_by_layout(LayoutLabel character, LayoutLabel name) {
  layout_character = character;
  layout_key_name = name;
}

std::string key_name_in_language(KeyCode code) {
  if (code >= 0x60 && code <= 0x69) {
    return say("Numpad{number}", fact<Fact::kNumber>(std::to_string(code - 0x60)));
  }
  return say_stored(key_name(code));
}

std::string shown_key_name(KeyCode code) {
  const std::string name = key_name(code);
  const std::string in_language = key_name_in_language(code);
  if (layout_character == nullptr || name.empty() || labelled_alike_everywhere(code)) {
    return in_language;
  }
  const std::string label = layout_label(code, name);
  if (label.empty() || label_in_name(label, name)) return in_language;
  const Filled<Fact::kKey> labelled{label};
  const Filled<Fact::kOtherKey> portable{in_language};
  return named_by_us_label(code) ? say("{key}, {other_key} on US keyboards", labelled, portable)
                                 : say("{key}, {other_key}", labelled, portable);
}

std::string hex_code(KeyCode code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(code));
  return text;
}

std::string key_name(KeyCode code) {
  if (code >= '0' && code <= '9') return std::string(1, static_cast<char>(code));
  if (code >= 'A' && code <= 'Z') return std::string(1, static_cast<char>(code));
  if (code >= 0x60 && code <= 0x69) return "Numpad" + std::to_string(code - 0x60);
  if (code >= 0x70 && code <= 0x87) return "F" + std::to_string(code - 0x70 + 1);
  for (const NamedKey& key : kNamedKeys) {
    if (key.code == code) return key.name;
  }
  return {};
}

bool names_a_key(KeyCode code) { return is_key_code(code) && !key_name(code).empty(); }

std::string key_in_words(KeyCode code) {
  switch (code) {
    case 0x01:
      return say("the left mouse button");
    case 0x02:
      return say("the right mouse button");
    case 0x04:
      return say("the middle mouse button");
    case 0x05:
      return say("mouse button X1 (back)");
    case 0x06:
      return say("mouse button X2 (forward)");
    default:
      return key_name_in_language(code);
  }
}

namespace {

// The code of a name already folded.
std::optional<KeyCode> code_named_folded(std::string name) {
  if (name.starts_with("vk")) name.erase(0, 2);
  if (name.empty()) return std::nullopt;
  for (KeyCode code = 0x01; code <= 0xFE; ++code) {
    if (folded(key_name(code)) == name) return code;
  }
  if (const auto code = aliased(name)) return code;
  // The web's names of the letter keys: "KeyQ".
  if (name.size() == 4 && name.starts_with("key") && name[3] >= 'a' && name[3] <= 'z') {
    return name[3] - 'a' + 'A';
  }
  return numbered_key(name);
}

}  // namespace

std::optional<KeyCode> key_code_named(std::string_view written) {
  if (const auto code = code_named_folded(folded(written))) return code;
  if (!has_ansi_letters(written)) return std::nullopt;
  // A file saved as ANSI in Central Europe or with Cyrillic letters.
  for (AnsiCodePage page : {AnsiCodePage::k1250, AnsiCodePage::k1251}) {
    if (const auto code = code_named_folded(folded(written, page))) return code;
  }
  return std::nullopt;
}

bool names_mouse_wheel(std::string_view written) {
  const std::string name = folded(written);
  return name.find("wheel") != std::string::npos && name.find("click") == std::string::npos &&
         !aliased(name);
}

std::vector<KeyCode> codes_down_with(KeyCode key) {
  for (const SidedModifier& modifier : kSidedModifiers) {
    if (key == modifier.left || key == modifier.right) return {key, modifier.either};
  }
  return {key};
}

std::vector<KeyCode> keys_setting(KeyCode code) {
  for (const SidedModifier& modifier : kSidedModifiers) {
    if (code == modifier.either) return {modifier.left, modifier.right};
  }
  return {code};
}

}  // namespace holsterkeys
