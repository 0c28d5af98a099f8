// A program's headers for tests, laid out as a linker writes them, and the
// ways a test damages them: the same damage is done to a made-up
// program's headers in the unit tests and on the emulator, and to a
// stand-in host's own headers under Wine.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "bindings/host.h"

namespace holsterkeys::program_headers {

// What a host does to its own headers before it loads the module.
enum class Damage {
  kNone,
  kNoMzSignature,
  kNoPeSignature,
  kPeHeaderPastTheHeaders,      // the offset of the PE header points far away
  kNoSections,                  // a section count of 0
  kSectionTablePastTheHeaders,  // a section count far too large for the page
  kOptionalHeaderTooShort,      // too short to hold the image's size
  kAnotherKindOfImage,          // PE32+ for PE32, or the other way round
  kSlotSectionNotWritable,      // the section that holds the slot loses its write flag
  kImageEndsInsideTheSlotSection,
  kSectionsOverlap,            // the slot's section starts where the one before does
  kSectionReachesPastFourGiB,  // the one before the slot's: start and size overflow 32 bits
  kClaimsTheSlot,              // the last section stretched, writable, over the slot
  kUnreadable,                 // the host makes the headers' page inaccessible
  kNoMainImage,                // the process has no program of its own
};

inline constexpr std::uint32_t kCode = 0x60000020;          // code, execute, read
inline constexpr std::uint32_t kReadOnlyData = 0x40000040;  // initialised data, read
inline constexpr std::uint32_t kData = 0xC0000040;          // initialised data, read, write
inline constexpr std::uint32_t kWritable = 0x80000000;      // IMAGE_SCN_MEM_WRITE
inline constexpr std::uint16_t kPe32 = 0x10B, kPe32Plus = 0x20B;

struct Section {
  const char* name;
  std::uint32_t rva, size, characteristics;
};

namespace detail {

inline constexpr std::uint32_t kPeOffset = 0x80;
inline constexpr std::size_t kPageSize = 0x1000;

inline std::uint32_t get(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t width) {
  std::uint32_t value = 0;
  std::memcpy(&value, bytes.data() + at, width);
  return value;
}
inline void put(std::span<std::uint8_t> bytes, std::size_t at, std::uint32_t value,
                std::size_t width) {
  std::memcpy(bytes.data() + at, &value, width);
}

// Where the parts of well-formed headers lie.
inline std::size_t pe(std::span<const std::uint8_t> h) { return get(h, 0x3C, 4); }
inline std::size_t optional(std::span<const std::uint8_t> h) { return pe(h) + 24; }
inline std::size_t section_count(std::span<const std::uint8_t> h) { return get(h, pe(h) + 6, 2); }
inline std::size_t section(std::span<const std::uint8_t> h, std::size_t index) {
  return optional(h) + get(h, pe(h) + 20, 2) + index * 40;
}

// The section whose span holds the slot variable, or the count when none.
inline std::size_t slot_section(std::span<const std::uint8_t> h, std::uintptr_t base) {
  const std::uint64_t slot = kSlotAddress - base;
  for (std::size_t index = 0; index < section_count(h); ++index) {
    const std::uint64_t start = get(h, section(h, index) + 12, 4);
    if (start <= slot && slot < start + get(h, section(h, index) + 8, 4)) return index;
  }
  return section_count(h);
}

}  // namespace detail

// The headers of a program at `base` with `sections`, in a page of their
// own, with an optional header of kind `magic`.
inline std::vector<std::uint8_t> headers_of(std::uint64_t base,
                                            const std::vector<Section>& sections,
                                            std::uint16_t magic) {
  using namespace detail;
  std::vector<std::uint8_t> h(kPageSize, 0);
  const std::uint16_t optional_size = magic == kPe32 ? 224 : 240;
  put(h, 0, 0x5A4D, 2);
  put(h, 0x3C, kPeOffset, 4);
  put(h, kPeOffset, 0x00004550, 4);
  put(h, kPeOffset + 4, magic == kPe32 ? 0x14C : 0x8664, 2);
  put(h, kPeOffset + 6, static_cast<std::uint32_t>(sections.size()), 2);
  put(h, kPeOffset + 20, optional_size, 2);
  const std::size_t opt = kPeOffset + 24;
  put(h, opt, magic, 2);
  if (magic == kPe32) {
    put(h, opt + 28, static_cast<std::uint32_t>(base), 4);
  } else {
    std::memcpy(h.data() + opt + 24, &base, 8);
  }
  const Section& last = sections.back();
  put(h, opt + 56, (last.rva + last.size + 0xFFF) & ~0xFFFu, 4);  // SizeOfImage
  put(h, opt + 60, kPageSize, 4);                                 // SizeOfHeaders
  for (std::size_t index = 0; index < sections.size(); ++index) {
    const std::size_t at = opt + optional_size + index * 40;
    std::memcpy(h.data() + at, sections[index].name, std::strlen(sections[index].name));
    put(h, at + 8, sections[index].size, 4);
    put(h, at + 12, sections[index].rva, 4);
    put(h, at + 36, sections[index].characteristics, 4);
  }
  return h;
}

// A game's headers: its data section spans the slot variable.
inline std::vector<std::uint8_t> game_headers(std::uint64_t base, std::uint16_t magic) {
  const auto data_size = static_cast<std::uint32_t>(kSlotAddress - base - 0x3000 + 0x10000);
  return headers_of(base,
                    {{".text", 0x1000, 0x1000, kCode},
                     {".rdata", 0x2000, 0x1000, kReadOnlyData},
                     {".data", 0x3000, data_size, kData},
                     {".rsrc", 0x3000 + ((data_size + 0xFFF) & ~0xFFFu), 0x1000, kReadOnlyData}},
                    magic);
}

// A small program's headers: it ends far below the slot variable.
inline std::vector<std::uint8_t> small_program_headers(std::uint64_t base, std::uint16_t magic) {
  return headers_of(base,
                    {{".text", 0x1000, 0x1000, kCode},
                     {".rdata", 0x2000, 0x1000, kReadOnlyData},
                     {".data", 0x3000, 0x1000, kData}},
                    magic);
}

// Does `damage` to the headers `h` of the program at `base`. kUnreadable
// and kNoMainImage change no byte: the host makes them.
inline void damage(std::span<std::uint8_t> h, std::uintptr_t base, Damage damage) {
  using namespace detail;
  const std::size_t slot = slot_section(h, base);
  const std::size_t opt = optional(h);
  switch (damage) {
    case Damage::kNoMzSignature:
      put(h, 0, 0, 2);
      break;
    case Damage::kNoPeSignature:
      put(h, pe(h), 0, 4);
      break;
    case Damage::kPeHeaderPastTheHeaders:
      put(h, 0x3C, 0x7FFFFFF0, 4);
      break;
    case Damage::kNoSections:
      put(h, pe(h) + 6, 0, 2);
      break;
    case Damage::kSectionTablePastTheHeaders:
      put(h, pe(h) + 6, 0xFFFF, 2);
      break;
    case Damage::kOptionalHeaderTooShort:
      put(h, pe(h) + 20, 56, 2);
      break;
    case Damage::kAnotherKindOfImage:
      put(h, opt, get(h, opt, 2) == kPe32 ? kPe32Plus : kPe32, 2);
      break;
    case Damage::kSlotSectionNotWritable:
      put(h, section(h, slot) + 36, get(h, section(h, slot) + 36, 4) & ~kWritable, 4);
      break;
    case Damage::kImageEndsInsideTheSlotSection:
      put(h, opt + 56, static_cast<std::uint32_t>(kSlotAddress - base), 4);
      break;
    case Damage::kSectionsOverlap:
      put(h, section(h, slot) + 12, get(h, section(h, slot - 1) + 12, 4), 4);
      break;
    case Damage::kSectionReachesPastFourGiB:
      put(h, section(h, slot - 1) + 8, 0xFFFFF000, 4);
      break;
    case Damage::kClaimsTheSlot: {
      const std::size_t last = section(h, section_count(h) - 1);
      const auto end = static_cast<std::uint32_t>(kSlotAddress - base + 0x1000);
      put(h, last + 8, end - get(h, last + 12, 4), 4);
      put(h, last + 36, get(h, last + 36, 4) | kWritable, 4);
      put(h, opt + 56, end, 4);
      break;
    }
    default:
      break;
  }
}

}  // namespace holsterkeys::program_headers
