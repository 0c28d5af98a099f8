// Any bytes as the readable headers of the program the module runs in: the
// module must never read past them, and says that a writable section holds
// the slot only where the image reaches past the slot.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>

#include "bindings/host.h"
#include "bindings/program_image.h"

namespace {

constexpr std::uintptr_t kBase = 0x00400000;

std::uint32_t u32_at(const std::uint8_t* data, std::size_t size, std::size_t at) {
  std::uint32_t value = 0;
  if (at + sizeof value <= size) std::memcpy(&value, data + at, sizeof value);
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const bool held = holsterkeys::writable_section_holds(std::span(data, size), kBase,
                                                        holsterkeys::kSlotAddress, 4);
  if (!held) return 0;
  const std::uint32_t pe = u32_at(data, size, 0x3C);
  const std::uint32_t image_size = u32_at(data, size, std::size_t{pe} + 24 + 56);
  if (image_size < holsterkeys::kSlotAddress - kBase + 4) {
    std::fprintf(stderr, "a writable section holds the slot, but the image's size is %#x\n",
                 image_size);
    std::abort();
  }
  return 0;
}
