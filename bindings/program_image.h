// What the module makes of the program it runs in: whether that program's
// own headers put the slot variable in one of its writable sections, as
// the game's do. A variable at a fixed address is a global of the game's
// own program; a heap block or another module's data at that address is
// not the game's, whatever it holds.
//
// Portable: the Windows layer hands over the header bytes it has made sure
// can be read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace holsterkeys {

// The optional header's magic number of a program built as this code is:
// PE32 where pointers are 32 bits wide, PE32+ where they are 64.
inline constexpr std::uint16_t kOwnImageMagic = sizeof(void*) == 8 ? 0x20B : 0x10B;

// Whether the headers of the program image at `base` put the `size` bytes
// at `address` wholly inside one writable section. `headers` are the bytes
// that can be read from `base` on. False where the headers do not lie
// within them or make no sense: no "MZ" or "PE" signature, an optional
// header too short for the image's size or of another kind of image, or
// sections out of order, overlapping or reaching past the image's end.
bool writable_section_holds(std::span<const std::uint8_t> headers, std::uintptr_t base,
                            std::uintptr_t address, std::size_t size);

}  // namespace holsterkeys
