#include "bindings/program_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "bindings/host.h"
#include "tests/case_name.h"
#include "tests/program_headers.h"

namespace holsterkeys {
namespace {

using program_headers::Damage;

constexpr std::uintptr_t kBase = 0x00400000;
constexpr std::size_t kSlotSize = 4;

struct Case {
  const char* name;
  // A program's headers, as many of their bytes as can be read.
  std::function<std::vector<std::uint8_t>()> headers;
  Damage damage;
  std::uintptr_t base;
  std::uintptr_t address;
  bool held;
};

std::ostream& operator<<(std::ostream& out, const Case& c) { return out << c.name; }

std::vector<std::uint8_t> game() { return program_headers::game_headers(kBase, kOwnImageMagic); }
std::vector<std::uint8_t> small_program() {
  return program_headers::small_program_headers(kBase, kOwnImageMagic);
}
// Only the first `bytes` of a game's headers can be read.
std::function<std::vector<std::uint8_t>()> game_cut_to(std::size_t bytes) {
  return [bytes] {
    std::vector<std::uint8_t> headers = game();
    headers.resize(bytes);
    return headers;
  };
}

// The end of the game's data section, as program_headers lays it out.
constexpr std::uintptr_t kDataEnd = kSlotAddress + 0x10000;

const Case kCases[] = {
    {"GameDataHoldsTheSlot", game, Damage::kNone, kBase, kSlotAddress, true},
    {"SmallProgramEndsBelowTheSlot", small_program, Damage::kNone, kBase, kSlotAddress, false},
    {"LastBytesOfTheDataSection", game, Damage::kNone, kBase, kDataEnd - kSlotSize, true},
    {"StraddlingTheDataSectionsEnd", game, Damage::kNone, kBase, kDataEnd - 2, false},
    {"InTheReadOnlySection", game, Damage::kNone, kBase, kBase + 0x2000, false},
    {"InTheHeaders", game, Damage::kNone, kBase, kBase + 0x100, false},
    {"BelowTheImage", game, Damage::kNone, kSlotAddress + 0x1000, kSlotAddress, false},
    {"HeadersCutInsideTheSectionTable", game_cut_to(0x200), Damage::kNone, kBase, kSlotAddress,
     false},
    {"HeadersCutInsideTheOptionalHeader", game_cut_to(0xA0), Damage::kNone, kBase, kSlotAddress,
     false},
    {"HeadersCutInsideTheDosHeader", game_cut_to(0x30), Damage::kNone, kBase, kSlotAddress, false},
    {"NoHeaderBytes", game_cut_to(0), Damage::kNone, kBase, kSlotAddress, false},
    {"NoMzSignature", game, Damage::kNoMzSignature, kBase, kSlotAddress, false},
    {"NoPeSignature", game, Damage::kNoPeSignature, kBase, kSlotAddress, false},
    {"PeHeaderPastTheHeaders", game, Damage::kPeHeaderPastTheHeaders, kBase, kSlotAddress, false},
    {"NoSections", game, Damage::kNoSections, kBase, kSlotAddress, false},
    {"SectionTablePastTheHeaders", game, Damage::kSectionTablePastTheHeaders, kBase, kSlotAddress,
     false},
    {"OptionalHeaderTooShort", game, Damage::kOptionalHeaderTooShort, kBase, kSlotAddress, false},
    {"AnotherKindOfImage", game, Damage::kAnotherKindOfImage, kBase, kSlotAddress, false},
    {"SlotSectionNotWritable", game, Damage::kSlotSectionNotWritable, kBase, kSlotAddress, false},
    {"ImageEndsInsideTheSlotSection", game, Damage::kImageEndsInsideTheSlotSection, kBase,
     kSlotAddress, false},
    {"SectionsOverlap", game, Damage::kSectionsOverlap, kBase, kSlotAddress, false},
    {"SectionReachesPastFourGiB", game, Damage::kSectionReachesPastFourGiB, kBase, kSlotAddress,
     false},
    // The headers alone cannot tell a claim from the truth; the module
    // asks whom the slot's page belongs to before each store.
    {"SmallProgramClaimingTheSlot", small_program, Damage::kClaimsTheSlot, kBase, kSlotAddress,
     true},
};

class WritableSectionHolds : public testing::TestWithParam<Case> {};

TEST_P(WritableSectionHolds, AsTheHeadersSay) {
  const Case& c = GetParam();
  std::vector<std::uint8_t> headers = c.headers();
  if (c.damage != Damage::kNone) program_headers::damage(headers, c.base, c.damage);
  EXPECT_EQ(writable_section_holds(headers, c.base, c.address, kSlotSize), c.held);
}

INSTANTIATE_TEST_SUITE_P(Headers, WritableSectionHolds, testing::ValuesIn(kCases), CaseName());

}  // namespace
}  // namespace holsterkeys
