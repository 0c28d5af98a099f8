// A stand-in for a game that Wine runs in another prefix, as Linux shows it
// to a survey: it maps the files named after the slot value (the module,
// Wine's ntdll, its program), and the page of the slot variable where that
// page is free, with the value in it; says "ready" with whether the slot is
// there, and waits until its input closes.
//
// Usage: linux_game_stand_in SLOT FILE...
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "bindings/host.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  for (int i = 2; i < argc; ++i) {
    const int file = open(argv[i], O_RDONLY);
    if (file < 0 || mmap(nullptr, 4096, PROT_READ, MAP_PRIVATE, file, 0) == MAP_FAILED) return 1;
  }
  const std::uintptr_t page_size = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  void* const page = reinterpret_cast<void*>(holsterkeys::kSlotAddress & ~(page_size - 1));
  void* const mapped =
      mmap(page, page_size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  const bool slot = mapped == page;
  if (slot) {
    *reinterpret_cast<std::int32_t*>(holsterkeys::kSlotAddress) =
        static_cast<std::int32_t>(std::atoi(argv[1]));
  }
  std::printf("ready %s\n", slot ? "slot" : "no-slot");
  std::fflush(stdout);
  for (char c; read(0, &c, 1) > 0;) {
  }
  return 0;
}
