// A host process for the 32-bit release DLL on an x86 CPU emulator, with
// no Windows, no Wine and no 32-bit kernel support: the DLL's own bytes are
// mapped and rebased as the loader would, every import is served by a stub
// of this harness, and the loader's calls into the DLL are made one by one.
//
// What it proves: the shipped machine code, its calling conventions, its C
// runtime's start-up and its calls with their exact arguments. What it
// cannot: real threads (the worker runs alone, after the loader is done),
// real timing (a wait only ends a cycle) and the real loader.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <unicorn/unicorn.h>

#include "bindings/bindings.h"
#include "tests/emulator/pe_image.h"
#include "tests/module_scenarios.h"
#include "tests/program_headers.h"

namespace holsterkeys::emulator {

// Where the program the process was started from, the game, lies.
inline constexpr std::uint32_t kMainImageBase = 0x00400000;
// Where another module that the host loaded lies, when its data holds the slot.
inline constexpr std::uint32_t kOtherModuleBase = 0x00B70000;

struct ProcessSetup {
  std::uint32_t load_base = 0;  // 0 for the DLL's preferred base
  // The headers of the process's own program, in the page at kMainImageBase,
  // which GetModuleHandleA(NULL) answers with; nothing for a process
  // without one. Unreadable, the page is inaccessible.
  std::optional<std::vector<std::uint8_t>> main_image_headers =
      program_headers::game_headers(kMainImageBase, program_headers::kPe32);
  bool main_image_headers_readable = true;
  // Where the slot variable lies, and its page's protection in a cycle:
  // what VirtualQuery says of the page, which the emulator then protects
  // to match, so that a store where the page is not writable faults.
  scenarios::SlotHome slot_home = scenarios::SlotHome::kMainImage;
  std::function<scenarios::Protection(int cycle)> slot_protection = {};  // none: read-write
  bool pinning_fails = false;
  bool thread_creation_fails = false;
  bool host_has_libgcc = false;  // libgcc_s_dw2-1.dll is loaded in the host
  // The configuration file from the cycle given on (cycles count from 1);
  // nothing for no file.
  std::map<int, std::optional<std::string>> files = {};
  // The key state GetAsyncKeyState reports in a cycle.
  std::function<std::uint16_t(int cycle, KeyCode code)> key_state = {};
};

// The calls the cycle makes, worded alike by the emulated process and by
// the tests' model of the cycle.
std::string profile_read_event(const std::string& section, const std::string& key,
                               const std::string& fallback, std::uint32_t size,
                               const std::string& file);
std::string key_query_event(std::int32_t code);
std::string wait_event(std::uint32_t ms);
std::string slot_query_event(std::uint32_t address, std::uint32_t size);
std::string slot_store_event(std::int32_t slot);

// The text a profile read gives for `key` of `section`, as the platform's
// reader gives it, cut to `size` - 1 characters.
std::string profile_value(const std::optional<std::string>& file, const std::string& section,
                          const std::string& key, const std::string& fallback, std::uint32_t size);

class EmulatedProcess {
 public:
  EmulatedProcess(const PeImage& image, ProcessSetup setup);
  ~EmulatedProcess();
  EmulatedProcess(const EmulatedProcess&) = delete;
  EmulatedProcess& operator=(const EmulatedProcess&) = delete;

  // The TLS callbacks, then the entry point, with DLL_PROCESS_ATTACH.
  void attach();
  // When a worker was created: its thread attach, then the worker itself
  // until it has finished `cycles` cycles and begins the next wait.
  void run_worker(int cycles);
  // Process exit: DLL_PROCESS_DETACH to the TLS callbacks and the entry point.
  void detach();

  std::uint32_t base() const { return base_; }
  bool worker_created() const { return worker_start_ != 0; }
  std::int32_t slot_value();

  // What the slot held at the end of each cycle. The host writes its own
  // value, scenarios::kHostValue, into it at the start of every cycle.
  std::vector<std::int32_t> slot_after_cycles;

  // The calls of each cycle; the first holds what the worker did before
  // its first wait.
  std::vector<std::vector<std::string>> cycles;
  // The loader's calls into the DLL and the DLL's calls about itself.
  std::vector<std::string> loader_events;
  // Imports that no stub serves, as "DLL!name".
  std::vector<std::string> missing_stubs;
  // Everything that went wrong: faults, an unbalanced stack, the C
  // runtime's error exits, entry points that did not return TRUE.
  std::vector<std::string> faults;

 private:
  struct Stub;
  using Handler = std::uint32_t (EmulatedProcess::*)();

  void map_memory();
  void load_image();
  void resolve_imports();
  void protect_sections();
  void set_up_segments();
  void enter_thread(std::uint32_t stack_top);
  std::uint32_t call(std::uint32_t function, const std::vector<std::uint32_t>& arguments,
                     const std::string& what);
  void notify(std::uint32_t reason, std::uint32_t reserved, const std::string& thread);
  std::vector<std::uint32_t> tls_callbacks();

  static void on_code(uc_engine* uc, std::uint64_t address, std::uint32_t size, void* self);
  static void on_slot_write(uc_engine* uc, uc_mem_type type, std::uint64_t address, int size,
                            std::int64_t value, void* self);
  static bool on_invalid(uc_engine* uc, uc_mem_type type, std::uint64_t address, int size,
                         std::int64_t value, void* self);

  std::uint32_t add_stub(const std::string& dll, const std::string& name, int argument_bytes,
                         Handler handler);
  std::uint32_t argument(int index);
  std::uint32_t u32(std::uint32_t address);
  void put_u32(std::uint32_t address, std::uint32_t value);
  std::string c_string(std::uint32_t address);
  std::string section_of(std::uint32_t address);
  std::vector<std::string>& cycle_events();
  scenarios::Protection slot_protection();
  void begin_cycle();
  void fault(const std::string& what);

  // The stubs of the imports, by name.
  std::uint32_t CloseHandle();
  std::uint32_t CreateThread();
  std::uint32_t DisableThreadLibraryCalls();
  std::uint32_t Nothing();
  std::uint32_t GetLastError();
  std::uint32_t GetModuleHandleA();
  std::uint32_t GetModuleHandleExW();
  std::uint32_t GetPrivateProfileStringA();
  std::uint32_t GetProcAddress();
  std::uint32_t LoadLibraryA();
  std::uint32_t FreeLibrary();
  std::uint32_t Sleep();
  std::uint32_t VirtualProtect();
  std::uint32_t VirtualQuery();
  std::uint32_t GetAsyncKeyState();
  std::uint32_t ErrorExit();
  std::uint32_t ErrorPrint();
  std::uint32_t calloc();
  std::uint32_t realloc();
  std::uint32_t strlen();
  std::uint32_t strncmp();
  std::uint32_t RegisterFrames();

  const PeImage& image_;
  ProcessSetup setup_;
  uc_engine* uc_ = nullptr;
  std::uint32_t base_;
  std::map<std::uint32_t, Stub*> stubs_by_address_;
  std::vector<Stub*> stubs_;
  std::map<std::string, std::uint32_t> stub_addresses_;
  std::uint32_t next_stub_;
  std::uint32_t heap_next_;
  std::map<std::uint32_t, std::uint32_t> allocations_;
  bool thread_calls_disabled_ = false;
  std::uint32_t worker_start_ = 0;
  std::uint32_t worker_parameter_ = 0;
  int cycles_wanted_ = 0;
  bool stopped_at_wait_ = false;
  std::optional<std::uint32_t> wait_stack_;
};

}  // namespace holsterkeys::emulator
