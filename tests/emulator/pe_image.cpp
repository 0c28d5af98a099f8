#include "tests/emulator/pe_image.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace holsterkeys::emulator {
namespace {

constexpr std::uint16_t kMachineI386 = 0x14C;
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr int kImportDirectory = 1;
constexpr int kRelocationDirectory = 5;
constexpr int kResourceDirectory = 2;
constexpr int kTlsDirectory = 9;
constexpr unsigned kRelocationHighLow = 3;
constexpr unsigned kRelocationPadding = 0;

[[noreturn]] void fail(const std::string& why) { throw std::runtime_error(why); }

template <class T>
T read_at(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  if (offset + sizeof(T) > bytes.size()) fail("the file ends inside its headers");
  T value;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

std::size_t offset_of_rva(const PeImage& image, std::uint32_t rva) {
  if (rva < image.headers_size) return rva;
  for (const PeSection& section : image.sections) {
    if (rva >= section.rva && rva < section.rva + section.raw_size) {
      return section.raw_offset + (rva - section.rva);
    }
  }
  fail("RVA " + std::to_string(rva) + " lies in no section's bytes");
}

std::string string_at_rva(const PeImage& image, std::uint32_t rva) {
  const std::size_t offset = offset_of_rva(image, rva);
  std::string text;
  for (std::size_t at = offset; at < image.bytes.size() && image.bytes[at] != 0; ++at) {
    text += static_cast<char>(image.bytes[at]);
  }
  return text;
}

std::uint32_t u32_at_rva(const PeImage& image, std::uint32_t rva) {
  return read_at<std::uint32_t>(image.bytes, offset_of_rva(image, rva));
}

void read_sections(PeImage& image, std::size_t table, unsigned count) {
  for (unsigned index = 0; index < count; ++index) {
    const std::size_t at = table + index * 40;
    char name[9] = {};
    std::memcpy(name, image.bytes.data() + at, 8);
    image.sections.push_back({name, read_at<std::uint32_t>(image.bytes, at + 12),
                              read_at<std::uint32_t>(image.bytes, at + 8),
                              read_at<std::uint32_t>(image.bytes, at + 20),
                              read_at<std::uint32_t>(image.bytes, at + 16),
                              read_at<std::uint32_t>(image.bytes, at + 36)});
  }
}

// Each descriptor names a DLL and two parallel tables: the names looked up
// and the addresses the loader writes.
void read_imports(PeImage& image, std::uint32_t directory) {
  for (std::uint32_t descriptor = directory;; descriptor += 20) {
    const std::uint32_t names = u32_at_rva(image, descriptor);
    const std::uint32_t dll = u32_at_rva(image, descriptor + 12);
    const std::uint32_t addresses = u32_at_rva(image, descriptor + 16);
    if (dll == 0) return;
    const std::uint32_t lookup = names != 0 ? names : addresses;
    for (std::uint32_t slot = 0;; slot += 4) {
      const std::uint32_t entry = u32_at_rva(image, lookup + slot);
      if (entry == 0) break;
      const bool by_ordinal = (entry & 0x80000000u) != 0;
      image.imports.push_back({string_at_rva(image, dll),
                               by_ordinal ? std::string() : string_at_rva(image, entry + 2),
                               addresses + slot});
    }
  }
}

void read_relocations(PeImage& image, std::uint32_t directory, std::uint32_t size) {
  for (std::uint32_t block = directory; block < directory + size;) {
    const std::uint32_t page = u32_at_rva(image, block);
    const std::uint32_t block_size = u32_at_rva(image, block + 4);
    if (block_size < 8) fail("a relocation block is shorter than its header");
    for (std::uint32_t entry = block + 8; entry < block + block_size; entry += 2) {
      const auto word = read_at<std::uint16_t>(image.bytes, offset_of_rva(image, entry));
      const unsigned type = word >> 12;
      if (type == kRelocationHighLow) {
        image.highlow_relocations.push_back(page + (word & 0xFFF));
      } else if (type != kRelocationPadding) {
        fail("relocation type " + std::to_string(type) + " is not one a 32-bit DLL has");
      }
    }
    block += block_size;
  }
}

// The offset, from the resource directory's start, that the entry for
// numbered `id` in the table at `table` leads to, with the top bit set when
// it leads to a table of the next level; nothing when there is no entry.
std::optional<std::uint32_t> resource_entry(const PeImage& image, std::uint32_t table,
                                            std::uint32_t id) {
  const std::uint32_t root = image.resource_directory_rva;
  const std::size_t named =
      read_at<std::uint16_t>(image.bytes, offset_of_rva(image, root + table + 12));
  const std::size_t numbered =
      read_at<std::uint16_t>(image.bytes, offset_of_rva(image, root + table + 14));
  for (std::size_t index = named; index < named + numbered; ++index) {
    const std::uint32_t entry = root + table + 16 + static_cast<std::uint32_t>(index) * 8;
    if (u32_at_rva(image, entry) == id) return u32_at_rva(image, entry + 4);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> find_resource(const PeImage& image, std::uint32_t type,
                                         std::uint32_t id) {
  constexpr std::uint32_t kTable = 0x80000000u;
  if (image.resource_directory_rva == 0) return std::nullopt;
  // Three levels, as the loader reads them: type, id, then language.
  const auto types = resource_entry(image, 0, type);
  if (!types || (*types & kTable) == 0) return std::nullopt;
  const auto ids = resource_entry(image, *types & ~kTable, id);
  if (!ids || (*ids & kTable) == 0) return std::nullopt;
  const std::uint32_t languages = image.resource_directory_rva + (*ids & ~kTable);
  if (read_at<std::uint16_t>(image.bytes, offset_of_rva(image, languages + 12)) +
          read_at<std::uint16_t>(image.bytes, offset_of_rva(image, languages + 14)) ==
      0) {
    return std::nullopt;
  }
  const std::uint32_t data = u32_at_rva(image, languages + 16 + 4);
  if ((data & kTable) != 0) return std::nullopt;
  const std::uint32_t entry = image.resource_directory_rva + data;
  const std::uint32_t rva = u32_at_rva(image, entry), size = u32_at_rva(image, entry + 4);
  const std::size_t offset = offset_of_rva(image, rva);
  if (offset + size > image.bytes.size()) fail("a resource runs past the end of the file");
  return std::string(image.bytes.begin() + static_cast<long>(offset),
                     image.bytes.begin() + static_cast<long>(offset + size));
}

PeImage read_pe_image(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) fail(path + " is missing: build the 32-bit tree first (make win32)");
  PeImage image;
  image.bytes.assign(std::istreambuf_iterator<char>(file), {});
  if (read_at<std::uint16_t>(image.bytes, 0) != 0x5A4D) fail(path + " is not a Windows program");
  const auto pe = read_at<std::uint32_t>(image.bytes, 0x3C);
  if (read_at<std::uint32_t>(image.bytes, pe) != 0x4550) fail(path + " has no PE header");
  if (read_at<std::uint16_t>(image.bytes, pe + 4) != kMachineI386) fail(path + " is not for x86");
  const std::size_t optional = pe + 24;
  if (read_at<std::uint16_t>(image.bytes, optional) != kPe32Magic) fail(path + " is not PE32");
  image.entry_rva = read_at<std::uint32_t>(image.bytes, optional + 16);
  image.image_base = read_at<std::uint32_t>(image.bytes, optional + 28);
  image.image_size = read_at<std::uint32_t>(image.bytes, optional + 56);
  image.headers_size = read_at<std::uint32_t>(image.bytes, optional + 60);
  const auto optional_size = read_at<std::uint16_t>(image.bytes, pe + 20);
  read_sections(image, optional + optional_size, read_at<std::uint16_t>(image.bytes, pe + 6));
  const auto directory = [&](int index, std::size_t field) {
    return read_at<std::uint32_t>(image.bytes, optional + 96 + index * 8 + field);
  };
  if (directory(kImportDirectory, 0) != 0) read_imports(image, directory(kImportDirectory, 0));
  if (directory(kRelocationDirectory, 0) != 0) {
    read_relocations(image, directory(kRelocationDirectory, 0), directory(kRelocationDirectory, 4));
  }
  image.tls_directory_rva = directory(kTlsDirectory, 0);
  image.resource_directory_rva = directory(kResourceDirectory, 0);
  return image;
}

}  // namespace holsterkeys::emulator
