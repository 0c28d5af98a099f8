// The module's scenarios: one table that two runners play. Under Wine
// (tests/wine/) the built module runs in a stand-in host on the real
// Windows API; on the emulator (tests/emulator/) the release DLL's own
// bytes run cycle by cycle.
//
// A scenario lays out where the slot lies and what the host's own
// program's headers say, then plays a few steps. Before each step the host
// writes its own value into the slot; during the step the configuration,
// the keys and the protection of the slot's page are as the scenario says;
// after it the slot must hold the step's slot number, or still the host's
// value where the module must store nothing. On the emulator a step is one
// cycle of the module. Under Wine it lasts several: the file is written and
// left to be read first, then the keys are pressed.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "bindings/bindings.h"
#include "tests/program_headers.h"
#include "tools/host/player.h"

namespace holsterkeys::scenarios {

// Where the slot variable lies in the host.
enum class SlotHome {
  kMainImage,    // in a writable section of the host's own program, as in the game
  kNothing,      // nowhere: no memory at the address
  kReserved,     // in address space the host reserved but never committed
  kPrivate,      // in a page the host allocated there, as a heap block
  kOtherModule,  // in the data section of another module the host loaded
};

using program_headers::Damage;

// The protection of the slot's page in a step, where the home commits a
// page. Only the emulator can make VirtualQuery itself fail.
enum class Protection { kReadWrite, kReadOnly, kExecuteRead, kNoAccess, kGuard, kQueryFails };

// What the host writes into the slot before each step: a value only the
// host writes.
inline constexpr SlotNumber kHostValue = 1;

// What GetAsyncKeyState reports for a key: down now, pressed since the last
// query, or both. Under Wine the key is held down through the step.
inline constexpr std::uint16_t kDown = 0x8000;
inline constexpr std::uint16_t kPressedSince = 0x0001;

struct Key {
  KeyCode code;
  std::uint16_t state = kDown;
};

// One key per row, F13 to F17, which players' keyboards lack; and the first
// extra mouse button.
inline constexpr KeyCode kF13 = host::kSpareKeys[0], kF14 = host::kSpareKeys[1],
                         kF15 = host::kSpareKeys[2], kF16 = host::kSpareKeys[3],
                         kF17 = host::kSpareKeys[4];
inline constexpr KeyCode kMouseX1 = 0x05;

struct Scenario {
  const char* name;
  // The configuration from the step given on; nothing for no file.
  std::map<int, std::optional<std::string>> files = {};
  // The keys down in each step (steps count from 1).
  std::map<int, std::vector<Key>> keys = {};
  // What the slot holds after each step: a slot number, or nothing where
  // the host's value must stay.
  std::vector<std::optional<SlotNumber>> slots = {};
  SlotHome home = SlotHome::kMainImage;
  // The slot page's protection from the step given on; read-write before.
  std::map<int, Protection> protection = {};
  // Every key reads as down through every step, as Wine reports code 0
  // once anything has sent it. On the emulator every code is down; under
  // Wine the spare keys and code 0 are held, all a test may press.
  bool every_key_down = false;
  // The module is loaded at a base other than its own, which the host has
  // taken first, so that the loader moves it.
  bool loaded_elsewhere = false;
  // What the host does to its own program's headers before it loads the
  // module; it mends them once the module's worker has started.
  Damage headers = Damage::kNone;

  int steps() const { return static_cast<int>(slots.size()); }

  // The file in a step, and the protection.
  std::optional<std::string> file_in(int step) const {
    std::optional<std::string> file;
    for (const auto& [from, text] : files) {
      if (from <= step) file = text;
    }
    return file;
  }
  Protection protection_in(int step) const {
    Protection page = Protection::kReadWrite;
    for (const auto& [from, protection] : this->protection) {
      if (from <= step) page = protection;
    }
    return page;
  }
  // The state GetAsyncKeyState reports for `code` in `step`.
  std::uint16_t key_state(int step, KeyCode code) const {
    if (every_key_down) return kDown;
    const auto held = keys.find(step);
    if (held == keys.end()) return 0;
    for (const Key& key : held->second) {
      if (key.code == code) return key.state;
    }
    return 0;
  }
};

inline std::ostream& operator<<(std::ostream& out, const Scenario& scenario) {
  return out << scenario.name;
}

inline std::string file_with(const std::string& lines) { return "[Bindings]\r\n" + lines; }

// Every row bound to its spare key, in row order.
inline const std::string kAllFive = file_with(
    "handguns=0x7C\r\nmachineguns=0x7D\r\nsubmachine=0x7E\r\nshotgun=0x7F\r\nrifle=0x80\r\n");
// "0x", 96 zeros and "7" fill the 99 characters the module reads; the "C"
// after them would make the code 0x7C, F13. (Blanks would not do: the
// reader drops those before a value.)
inline const std::string kCutChangesTheCode =
    file_with("handguns=0x" + std::string(96, '0') + "7C\r\n");
// The first 99 characters are octal 0174, F13; the 100th would make the
// code 01745, which no key has.
inline const std::string kCutKeepsTheCode =
    file_with("rifle=" + std::string(96, '0') + "174" + "5\r\n");
// Neither names a key code: a key's name, codes outside 1 to 255 (380 is
// F13 in its lowest byte), and an empty value. Under Wine code 0 reads as
// down once anything has sent it, so an unbound category would fire if 0
// were polled.
inline const std::string kNoKeyCodes =
    file_with("handguns=F13\r\nmachineguns=-124\r\nsubmachine=0\r\nshotgun=380\r\nrifle=\r\n");
inline const std::string kNoKeyCodesEither =
    file_with("handguns=F2\r\nmachineguns=0\r\nsubmachine=-5\r\nshotgun=300\r\nrifle=\r\n");

// Each row's key, held in the step of its row.
inline const std::vector<Key> kAllFiveKeys{{kF13}, {kF14}, {kF15}, {kF16}, {kF17}};

// A page the module may not store into, in the host's own program: the
// store is skipped in the first step, and made once the page is writable
// again.
inline Scenario main_image_page(const char* name, Protection protection) {
  return {.name = name,
          .files = {{1, kAllFive}},
          .keys = {{1, {{kF15}}}, {2, {{kF15}}}},
          .slots = {std::nullopt, 4},
          .protection = {{1, protection}, {2, Protection::kReadWrite}}};
}

// Memory at the slot address that is not the game's: with every row's key
// held, the module must leave it as it is.
inline Scenario elsewhere(const char* name, SlotHome home, Protection protection,
                          std::vector<std::optional<SlotNumber>> slots) {
  return {.name = name,
          .files = {{1, kAllFive}},
          .keys = {{1, kAllFiveKeys}, {2, kAllFiveKeys}},
          .slots = std::move(slots),
          .home = home,
          .protection = {{1, protection}}};
}

inline Scenario with_headers(Scenario scenario, Damage headers) {
  scenario.headers = headers;
  return scenario;
}

// The game's own program holds the slot, but its headers are damaged: with
// the last row's key held, the module must store nothing.
inline Scenario damaged_game(const char* name, Damage headers) {
  return {.name = name,
          .files = {{1, kAllFive}},
          .keys = {{1, {{kF17}}}, {2, {{kF17}}}},
          .slots = {std::nullopt, std::nullopt},
          .headers = headers};
}

inline const std::vector<Scenario>& all() {
  static const std::vector<Scenario> scenarios = {
      {.name = "EveryCategoryStoresItsSlot",
       .files = {{1, kAllFive}},
       .keys = {{1, {{kF13}}},
                {2, {{kF14}}},
                {3, {{kF15, kPressedSince}}},
                {4, {{kF16, kDown | kPressedSince}}},
                {5, {{kF17}}}},
       .slots = {2, 5, 4, 3, 6}},
      // Each active row stores in turn, so the last one in row order wins.
      {.name = "LastActiveRowWins",
       .files = {{1, kAllFive}},
       .keys = {{1, {{kF16}, {kF17}}}, {2, {{kF13}, {kF14}, {kF15}}}},
       .slots = {6, 4}},
      {.name = "TwoRowsOnOneCodeEndOnTheLaterRow",
       .files = {{1, file_with("machineguns=0x7C\r\nsubmachine=0x7C\r\n")}},
       .keys = {{1, {{kF13}}}},
       .slots = {4}},
      {.name = "HeldKeyStoresAgainOverTheHostsValue",
       .files = {{1, kAllFive}},
       .keys = {{1, {{kF13}}}, {2, {{kF13}}}},
       .slots = {2, 2}},
      {.name = "NothingStoredWhileNoKeyIsDown",
       .files = {{1, kAllFive}},
       .keys = {{2, {{kF17}}}},
       .slots = {std::nullopt, 6}},
      {.name = "MouseButtonBindingStores",
       .files = {{1, file_with("rifle=5\r\n")}},
       .keys = {{1, {{kMouseX1}}}},
       .slots = {6}},
      {.name = "ValueCutAtNinetyNineCharactersChangesTheCode",
       .files = {{1, kCutChangesTheCode}},
       .keys = {{1, {{kF13}}}, {2, {{0x07}}}},
       .slots = {std::nullopt, 2}},
      {.name = "ValueCutAtNinetyNineCharactersKeepsTheCode",
       .files = {{1, kCutKeepsTheCode}},
       .keys = {{1, {{kF13}}}},
       .slots = {6}},
      // Then, with every row bound, the last row's key stores.
      {.name = "UnboundAndUnparsableNeverPolled",
       .files = {{1, kNoKeyCodes}, {2, kNoKeyCodesEither}, {3, kAllFive}},
       .slots = {std::nullopt, std::nullopt, 6},
       .every_key_down = true},
      {.name = "NoFileNothingIsStored",
       .files = {{3, kAllFive}},
       .slots = {std::nullopt, std::nullopt, 6},
       .every_key_down = true},
      // The old key, still held, no longer stores once the file is changed.
      {.name = "EditTakesEffectAtTheNextCycle",
       .files = {{1, file_with("shotgun=0x7F\r\n")}, {3, file_with("shotgun=0x80\r\n")}},
       .keys = {{1, {{kF16}}}, {2, {{kF16}}}, {3, {{kF16}}}, {4, {{kF16}, {kF17}}}},
       .slots = {3, 3, std::nullopt, 3}},
      {.name = "FileDeletedWhileRunning",
       .files = {{1, file_with("rifle=0x80\r\n")}, {2, std::nullopt}},
       .slots = {6, std::nullopt, std::nullopt},
       .every_key_down = true},
      {.name = "LoadedAtAnotherBase",
       .files = {{1, kAllFive}},
       .keys = {{1, {{kF17}}}, {2, {{kF13}}}},
       .slots = {6, 2},
       .loaded_elsewhere = true},
      main_image_page("ReadOnlySlotPageSkippedUntilWritable", Protection::kReadOnly),
      main_image_page("ExecuteReadSlotPageSkippedUntilWritable", Protection::kExecuteRead),
      main_image_page("NoAccessSlotPageSkippedUntilWritable", Protection::kNoAccess),
      main_image_page("GuardSlotPageSkippedUntilWritable", Protection::kGuard),
      main_image_page("SlotPageThatCannotBeQueriedSkipped", Protection::kQueryFails),
      elsewhere("NothingAtTheSlot", SlotHome::kNothing, Protection::kReadWrite,
                {std::nullopt, std::nullopt}),
      elsewhere("ReservedSlotPage", SlotHome::kReserved, Protection::kReadWrite,
                {std::nullopt, std::nullopt}),
      elsewhere("ReadOnlyPageAtTheSlot", SlotHome::kPrivate, Protection::kReadOnly,
                {std::nullopt, std::nullopt}),
      elsewhere("NoAccessPageAtTheSlot", SlotHome::kPrivate, Protection::kNoAccess,
                {std::nullopt, std::nullopt}),
      elsewhere("GuardPageAtTheSlot", SlotHome::kPrivate, Protection::kGuard,
                {std::nullopt, std::nullopt}),
      // Memory that is committed and writable but not the game's: a heap
      // block, another module's data, and a heap block where the host's
      // headers claim the slot for a section of their own.
      elsewhere("WritablePageAtTheSlot", SlotHome::kPrivate, Protection::kReadWrite,
                {std::nullopt, std::nullopt}),
      elsewhere("AnotherModulesDataAtTheSlot", SlotHome::kOtherModule, Protection::kReadWrite,
                {std::nullopt, std::nullopt}),
      with_headers(elsewhere("WritablePageAtTheSlotThatTheHeadersClaim", SlotHome::kPrivate,
                             Protection::kReadWrite, {std::nullopt, std::nullopt}),
                   Damage::kClaimsTheSlot),
      // The game's own program, whose headers cannot be read, make no
      // sense, or do not put the slot in a writable section.
      damaged_game("HeadersWithoutMzSignature", Damage::kNoMzSignature),
      damaged_game("HeadersWithoutPeSignature", Damage::kNoPeSignature),
      damaged_game("PeHeaderPastTheHeaders", Damage::kPeHeaderPastTheHeaders),
      damaged_game("NoSections", Damage::kNoSections),
      damaged_game("SectionTablePastTheHeaders", Damage::kSectionTablePastTheHeaders),
      damaged_game("OptionalHeaderTooShort", Damage::kOptionalHeaderTooShort),
      damaged_game("AnotherKindOfImage", Damage::kAnotherKindOfImage),
      damaged_game("SlotSectionNotWritable", Damage::kSlotSectionNotWritable),
      damaged_game("ImageEndsInsideTheSlotSection", Damage::kImageEndsInsideTheSlotSection),
      damaged_game("SectionsOverlap", Damage::kSectionsOverlap),
      damaged_game("SectionReachesPastFourGiB", Damage::kSectionReachesPastFourGiB),
      damaged_game("HeadersUnreadable", Damage::kUnreadable),
      damaged_game("NoMainImage", Damage::kNoMainImage),
  };
  return scenarios;
}

// What only the emulator can make: a VirtualQuery that fails, and a process
// without a program of its own.
inline bool needs_emulator(const Scenario& scenario) {
  for (const auto& [step, protection] : scenario.protection) {
    if (protection == Protection::kQueryFails) return true;
  }
  return scenario.headers == Damage::kNoMainImage;
}

// The scenarios that `wanted` picks, for a runner's table.
template <class Predicate>
std::vector<Scenario> where(Predicate wanted) {
  std::vector<Scenario> picked;
  for (const Scenario& scenario : all()) {
    if (wanted(scenario)) picked.push_back(scenario);
  }
  return picked;
}

}  // namespace holsterkeys::scenarios
