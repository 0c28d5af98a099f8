// A 32-bit Windows DLL or program as the loader sees it: its headers,
// sections, imports, relocations, TLS callbacks and resources, read from the
// file's bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace holsterkeys::emulator {

struct PeSection {
  std::string name;
  std::uint32_t rva;
  std::uint32_t virtual_size;
  std::uint32_t raw_offset;
  std::uint32_t raw_size;
  std::uint32_t characteristics;  // IMAGE_SCN_MEM_READ, _WRITE, _EXECUTE
};

struct PeImport {
  std::string dll;
  std::string name;       // empty for an import by ordinal
  std::uint32_t iat_rva;  // where the loader writes the address
};

struct PeImage {
  std::vector<std::uint8_t> bytes;  // the file
  std::uint32_t image_base = 0;
  std::uint32_t image_size = 0;
  std::uint32_t headers_size = 0;
  std::uint32_t entry_rva = 0;
  std::vector<PeSection> sections;
  std::vector<PeImport> imports;
  std::vector<std::uint32_t> highlow_relocations;  // RVAs of 32-bit addresses to rebase
  std::uint32_t tls_directory_rva = 0;             // 0 when there is none
  std::uint32_t resource_directory_rva = 0;        // 0 when there is none
};

// Reads the DLL at `path`; throws std::runtime_error with the reason when
// it is missing or not a 32-bit x86 PE image.
PeImage read_pe_image(const std::string& path);

// The bytes of the resource of numbered `type` and `id`, in the first of its
// languages; nothing when the image has no such resource.
std::optional<std::string> find_resource(const PeImage& image, std::uint32_t type,
                                         std::uint32_t id);

}  // namespace holsterkeys::emulator
