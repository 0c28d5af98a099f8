#include "bindings/program_image.h"

#include <cstring>
#include <optional>

namespace holsterkeys {
namespace {

constexpr std::uint16_t kMzSignature = 0x5A4D;
constexpr std::uint32_t kPeSignature = 0x00004550;
constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kPeOffsetField = 0x3C;
// The PE signature and the file header, after which the optional header.
constexpr std::size_t kOptionalHeader = 24;
// SizeOfImage lies at the same offset in PE32 and PE32+ optional headers.
constexpr std::size_t kSizeOfImageField = 56;
constexpr std::size_t kOptionalHeaderNeeded = kSizeOfImageField + 4;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::uint32_t kWritableSection = 0x80000000;  // IMAGE_SCN_MEM_WRITE

// A little-endian field at `at`, which the caller has checked lies within
// `bytes`.
template <class Field>
Field field(std::span<const std::uint8_t> bytes, std::size_t at) {
  Field value;
  std::memcpy(&value, bytes.data() + at, sizeof value);
  return value;
}

struct SectionTable {
  std::size_t begin, end;   // offsets in the headers
  std::uint32_t image_end;  // SizeOfImage
};

// Where the section table lies, when the headers before it are a program's
// of this code's kind and lie within `headers`. Every offset is compared
// with what is left of the bytes, so that no header field can make the
// arithmetic overflow.
std::optional<SectionTable> section_table(std::span<const std::uint8_t> headers) {
  const std::size_t size = headers.size();
  if (size < kDosHeaderSize || field<std::uint16_t>(headers, 0) != kMzSignature) {
    return std::nullopt;
  }
  const std::size_t pe = field<std::uint32_t>(headers, kPeOffsetField);
  if (pe > size - kOptionalHeader || size - pe - kOptionalHeader < kOptionalHeaderNeeded) {
    return std::nullopt;
  }
  const std::size_t optional = pe + kOptionalHeader;
  const std::size_t optional_size = field<std::uint16_t>(headers, pe + 20);
  const std::size_t table_size = field<std::uint16_t>(headers, pe + 6) * kSectionHeaderSize;
  if (field<std::uint32_t>(headers, pe) != kPeSignature ||
      field<std::uint16_t>(headers, optional) != kOwnImageMagic ||
      optional_size < kOptionalHeaderNeeded || optional_size > size - optional ||
      table_size > size - optional - optional_size) {
    return std::nullopt;
  }
  const std::size_t begin = optional + optional_size;
  return SectionTable{begin, begin + table_size,
                      field<std::uint32_t>(headers, optional + kSizeOfImageField)};
}

}  // namespace

bool writable_section_holds(std::span<const std::uint8_t> headers, std::uintptr_t base,
                            std::uintptr_t address, std::size_t size) {
  const std::optional<SectionTable> table = section_table(headers);
  if (!table || address < base) return false;
  const std::uintptr_t offset = address - base;
  // The loader maps sections in ascending order, each inside the image.
  std::uint32_t previous_end = 0;
  bool held = false;
  for (std::size_t at = table->begin; at < table->end; at += kSectionHeaderSize) {
    const auto start = field<std::uint32_t>(headers, at + 12);
    const auto length = field<std::uint32_t>(headers, at + 8);
    if (start < previous_end || start > table->image_end || length > table->image_end - start) {
      return false;
    }
    previous_end = start + length;
    held |= (field<std::uint32_t>(headers, at + 36) & kWritableSection) != 0 && start <= offset &&
            offset < previous_end && size <= previous_end - offset;
  }
  return held;
}

}  // namespace holsterkeys
