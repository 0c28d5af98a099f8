#include "tests/emulator/emulated_process.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "bindings/profile_file.h"
#include "selector/selection_cycle.h"

namespace holsterkeys::emulator {

// One import the harness serves: where its code is, how much of the stack
// it pops on return (stdcall) or -1 for the C convention, and what it does.
struct EmulatedProcess::Stub {
  std::string name;
  int argument_bytes;
  Handler handler;
};

namespace {

// The process's memory, all mapped before the first segment register is
// loaded: the emulator maps nothing after that.
constexpr std::uint32_t kPage = 0x1000;
constexpr std::uint32_t kGdt = 0x1000;
constexpr std::uint32_t kTeb = 0x2000;
constexpr std::uint32_t kStubs = 0x3000;
constexpr std::uint32_t kStubsSize = 0x2000;
constexpr std::uint32_t kReturnToHost = kStubs + kStubsSize - 0x10;
constexpr std::uint32_t kData = 0x5000;  // the C runtime's imported data
constexpr std::uint32_t kMainStack = 0x100000;
constexpr std::uint32_t kWorkerStack = 0x200000;
constexpr std::uint32_t kStackSize = 0x100000;
constexpr std::uint32_t kHeap = 0x1000000;
constexpr std::uint32_t kHeapSize = 0x400000;
constexpr std::uint32_t kSlotPage = kSlotAddress & ~(kPage - 1);

constexpr std::uint32_t kThreadHandle = 0x7E1;
constexpr std::uint32_t kLibgccHandle = 0x6E940000;
constexpr char kLibgcc[] = "libgcc_s_dw2-1.dll";

constexpr std::uint32_t kDllProcessDetach = 0;
constexpr std::uint32_t kDllProcessAttach = 1;
constexpr std::uint32_t kDllThreadAttach = 2;

// Each run of the DLL is bounded, so that a module that never waits fails
// instead of hanging the test.
constexpr std::uint64_t kRunTimeoutUs = 20'000'000;

// _initterm calls every non-null pointer in [begin, end) and must call back
// into the image, so it is machine code of its own:
//   push esi; push edi; mov esi,[esp+12]; mov edi,[esp+16]
//   loop: cmp esi,edi; jae done; mov eax,[esi]; test eax,eax; jz next;
//         call eax; next: add esi,4; jmp loop; done: pop edi; pop esi; ret
constexpr std::uint8_t kInitterm[] = {0x56, 0x57, 0x8B, 0x74, 0x24, 0x0C, 0x8B, 0x7C, 0x24, 0x10,
                                      0x39, 0xFE, 0x73, 0x0D, 0x8B, 0x06, 0x85, 0xC0, 0x74, 0x02,
                                      0xFF, 0xD0, 0x83, 0xC6, 0x04, 0xEB, 0xEF, 0x5F, 0x5E, 0xC3};

// A flat or based 32-bit segment descriptor, with its accessed bit already
// set: the CPU would otherwise write it into the read-only table.
std::uint64_t descriptor(std::uint32_t base, std::uint32_t limit, std::uint8_t access,
                         std::uint8_t flags) {
  return (limit & 0xFFFFull) | (std::uint64_t{base & 0xFFFFFF} << 16) |
         (std::uint64_t{access} << 40) | (std::uint64_t{(limit >> 16) & 0xF} << 48) |
         (std::uint64_t{flags} << 52) | (std::uint64_t{base >> 24} << 56);
}

std::string hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

int protection_of(std::uint32_t characteristics) {
  int protection = UC_PROT_NONE;
  if (characteristics & 0x40000000u) protection |= UC_PROT_READ;
  if (characteristics & 0x80000000u) protection |= UC_PROT_WRITE;
  if (characteristics & 0x20000000u) protection |= UC_PROT_EXEC;
  return protection;
}

// DLL names compare without regard to case, function names with it.
std::string import_key(const std::string& dll, const std::string& name) {
  std::string key = dll;
  for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key + "!" + name;
}

std::uint32_t page_up(std::uint32_t size) { return (size + kPage - 1) & ~(kPage - 1); }

using scenarios::Protection;
using scenarios::SlotHome;

constexpr std::uint32_t kPageNoAccess = 0x01, kPageReadOnly = 0x02, kPageReadWrite = 0x04;
constexpr std::uint32_t kPageExecuteRead = 0x20, kPageWriteCopy = 0x08, kPageGuard = 0x100;

std::uint32_t page_protection(Protection protection) {
  switch (protection) {
    case Protection::kReadOnly:
      return kPageReadOnly;
    case Protection::kExecuteRead:
      return kPageExecuteRead;
    case Protection::kNoAccess:
      return kPageNoAccess;
    case Protection::kGuard:
      return kPageReadWrite | kPageGuard;
    default:
      return kPageReadWrite;
  }
}

// The 28-byte MEMORY_BASIC_INFORMATION of the slot page: base, allocation
// base, allocation protection, region size, state, protection, type.
std::array<std::uint32_t, 7> slot_page_record(SlotHome home, Protection protection) {
  constexpr std::uint32_t kCommit = 0x1000, kReserve = 0x2000, kFree = 0x10000;
  constexpr std::uint32_t kPrivate = 0x20000, kImage = 0x1000000;
  const std::uint32_t now = page_protection(protection);
  switch (home) {
    case SlotHome::kNothing:
      return {kSlotPage, 0, 0, kPage, kFree, kPageNoAccess, 0};
    case SlotHome::kReserved:
      return {kSlotPage, kSlotPage, kPageReadWrite, kPage, kReserve, 0, kPrivate};
    case SlotHome::kPrivate:
      return {kSlotPage, kSlotPage, kPageReadWrite, kPage, kCommit, now, kPrivate};
    case SlotHome::kOtherModule:
      return {kSlotPage, kOtherModuleBase, kPageWriteCopy, kPage, kCommit, now, kImage};
    default:
      return {kSlotPage, kMainImageBase, kPageWriteCopy, kPage, kCommit, now, kImage};
  }
}

// The record of the page of the program's headers: read-only, or
// inaccessible.
std::array<std::uint32_t, 7> header_page_record(bool readable) {
  constexpr std::uint32_t kCommit = 0x1000, kImage = 0x1000000;
  return {kMainImageBase, kMainImageBase, kPageWriteCopy,
          kPage,          kCommit,        readable ? kPageReadOnly : kPageNoAccess,
          kImage};
}

// What the emulated CPU may do with the slot page, as VirtualQuery says.
int slot_page_access(SlotHome home, Protection protection) {
  if (home == SlotHome::kNothing || home == SlotHome::kReserved) return UC_PROT_NONE;
  switch (protection) {
    case Protection::kReadWrite:
      return UC_PROT_READ | UC_PROT_WRITE;
    case Protection::kReadOnly:
      return UC_PROT_READ;
    case Protection::kExecuteRead:
      return UC_PROT_READ | UC_PROT_EXEC;
    default:
      return UC_PROT_NONE;
  }
}

}  // namespace

std::string profile_read_event(const std::string& section, const std::string& key,
                               const std::string& fallback, std::uint32_t size,
                               const std::string& file) {
  return "GetPrivateProfileStringA(\"" + section + "\", \"" + key + "\", \"" + fallback + "\", " +
         std::to_string(size) + ", \"" + file + "\")";
}

std::string key_query_event(std::int32_t code) {
  return "GetAsyncKeyState(" + std::to_string(code) + ")";
}

std::string wait_event(std::uint32_t ms) { return "Sleep(" + std::to_string(ms) + ")"; }

std::string slot_query_event(std::uint32_t address, std::uint32_t size) {
  return "VirtualQuery(" + hex(address) + ", " + std::to_string(size) + ")";
}

std::string slot_store_event(std::int32_t slot) { return "store " + std::to_string(slot); }

std::string profile_value(const std::optional<std::string>& file, const std::string& section,
                          const std::string& key, const std::string& fallback, std::uint32_t size) {
  if (size == 0) return {};
  if (!file) return fallback.substr(0, size - 1);
  std::vector<char> value(size, '\0');
  find_profile_string(*file, section.c_str(), key.c_str(), value.data(), size);
  return value.data();
}

EmulatedProcess::EmulatedProcess(const PeImage& image, ProcessSetup setup)
    : image_(image),
      setup_(std::move(setup)),
      base_(setup_.load_base != 0 ? setup_.load_base : image.image_base),
      next_stub_(kStubs),
      heap_next_(kHeap) {
  if (uc_open(UC_ARCH_X86, UC_MODE_32, &uc_) != UC_ERR_OK) {
    throw std::runtime_error("the x86 emulator cannot start");
  }
  map_memory();
  load_image();
  resolve_imports();
  protect_sections();
  set_up_segments();
  uc_hook hook;
  uc_hook_add(uc_, &hook, UC_HOOK_CODE, reinterpret_cast<void*>(&on_code), this, kStubs,
              kStubs + kStubsSize - 1);
  uc_hook_add(uc_, &hook, UC_HOOK_MEM_WRITE, reinterpret_cast<void*>(&on_slot_write), this,
              kSlotPage, kSlotPage + kPage - 1);
  uc_hook_add(uc_, &hook, UC_HOOK_MEM_INVALID, reinterpret_cast<void*>(&on_invalid), this, 1, 0);
}

EmulatedProcess::~EmulatedProcess() {
  for (Stub* stub : stubs_) delete stub;
  uc_close(uc_);
}

// Every region at once, writable while the image is laid out.
void EmulatedProcess::map_memory() {
  const struct {
    std::uint32_t address, size;
  } regions[] = {{kGdt, kPage},
                 {kTeb, kPage},
                 {kStubs, kStubsSize},
                 {kData, kPage},
                 {kMainStack, kStackSize},
                 {kWorkerStack, kStackSize},
                 {kHeap, kHeapSize},
                 {kSlotPage, kPage},
                 {kMainImageBase, kPage},
                 {base_, page_up(image_.image_size)}};
  for (const auto& region : regions) {
    if (uc_mem_map(uc_, region.address, region.size, UC_PROT_ALL) != UC_ERR_OK) {
      throw std::runtime_error("cannot map " + hex(region.address));
    }
  }
  uc_mem_write(uc_, kStubs + 0x1000, kInitterm, sizeof kInitterm);
  if (setup_.main_image_headers) {
    uc_mem_write(uc_, kMainImageBase, setup_.main_image_headers->data(),
                 std::min<std::size_t>(setup_.main_image_headers->size(), kPage));
  }
}

// The headers and each section's bytes, then the relocations when the DLL
// is not at its preferred base.
void EmulatedProcess::load_image() {
  uc_mem_write(uc_, base_, image_.bytes.data(),
               std::min<std::size_t>(image_.headers_size, image_.bytes.size()));
  for (const PeSection& section : image_.sections) {
    const std::uint32_t size = std::min(section.raw_size, section.virtual_size);
    if (size != 0) {
      uc_mem_write(uc_, base_ + section.rva, image_.bytes.data() + section.raw_offset, size);
    }
  }
  const std::uint32_t delta = base_ - image_.image_base;
  if (delta == 0) return;
  for (std::uint32_t rva : image_.highlow_relocations)
    put_u32(base_ + rva, u32(base_ + rva) + delta);
}

void EmulatedProcess::resolve_imports() {
  const struct {
    const char* dll;
    const char* name;
    int argument_bytes;
    Handler handler;
  } served[] = {
      {"KERNEL32.dll", "CloseHandle", 4, &EmulatedProcess::CloseHandle},
      {"KERNEL32.dll", "CreateThread", 24, &EmulatedProcess::CreateThread},
      {"KERNEL32.dll", "DeleteCriticalSection", 4, &EmulatedProcess::Nothing},
      {"KERNEL32.dll", "DisableThreadLibraryCalls", 4, &EmulatedProcess::DisableThreadLibraryCalls},
      {"KERNEL32.dll", "EnterCriticalSection", 4, &EmulatedProcess::Nothing},
      {"KERNEL32.dll", "FreeLibrary", 4, &EmulatedProcess::FreeLibrary},
      {"KERNEL32.dll", "GetLastError", 0, &EmulatedProcess::GetLastError},
      {"KERNEL32.dll", "GetModuleHandleA", 4, &EmulatedProcess::GetModuleHandleA},
      {"KERNEL32.dll", "GetModuleHandleExW", 12, &EmulatedProcess::GetModuleHandleExW},
      {"KERNEL32.dll", "GetPrivateProfileStringA", 24, &EmulatedProcess::GetPrivateProfileStringA},
      {"KERNEL32.dll", "GetProcAddress", 8, &EmulatedProcess::GetProcAddress},
      {"KERNEL32.dll", "InitializeCriticalSection", 4, &EmulatedProcess::Nothing},
      {"KERNEL32.dll", "LeaveCriticalSection", 4, &EmulatedProcess::Nothing},
      {"KERNEL32.dll", "LoadLibraryA", 4, &EmulatedProcess::LoadLibraryA},
      {"KERNEL32.dll", "Sleep", 4, &EmulatedProcess::Sleep},
      {"KERNEL32.dll", "TlsGetValue", 4, &EmulatedProcess::Nothing},
      {"KERNEL32.dll", "VirtualProtect", 16, &EmulatedProcess::VirtualProtect},
      {"KERNEL32.dll", "VirtualQuery", 12, &EmulatedProcess::VirtualQuery},
      {"USER32.dll", "GetAsyncKeyState", 4, &EmulatedProcess::GetAsyncKeyState},
      {"msvcrt.dll", "_amsg_exit", -1, &EmulatedProcess::ErrorExit},
      {"msvcrt.dll", "_lock", -1, &EmulatedProcess::Nothing},
      {"msvcrt.dll", "_unlock", -1, &EmulatedProcess::Nothing},
      {"msvcrt.dll", "abort", -1, &EmulatedProcess::ErrorExit},
      {"msvcrt.dll", "calloc", -1, &EmulatedProcess::calloc},
      {"msvcrt.dll", "free", -1, &EmulatedProcess::Nothing},
      {"msvcrt.dll", "fwrite", -1, &EmulatedProcess::ErrorPrint},
      {"msvcrt.dll", "realloc", -1, &EmulatedProcess::realloc},
      {"msvcrt.dll", "strlen", -1, &EmulatedProcess::strlen},
      {"msvcrt.dll", "strncmp", -1, &EmulatedProcess::strncmp},
      {"msvcrt.dll", "vfprintf", -1, &EmulatedProcess::ErrorPrint},
      {"libgcc_s_dw2-1.dll", "__register_frame_info", -1, &EmulatedProcess::RegisterFrames},
      {"libgcc_s_dw2-1.dll", "__deregister_frame_info", -1, &EmulatedProcess::RegisterFrames},
  };
  for (const auto& stub : served) add_stub(stub.dll, stub.name, stub.argument_bytes, stub.handler);
  stub_addresses_[import_key("msvcrt.dll", "_initterm")] = kStubs + 0x1000;
  // _iob is data, not code: three FILE records of the C runtime.
  stub_addresses_[import_key("msvcrt.dll", "_iob")] = kData;
  for (const PeImport& import : image_.imports) {
    const auto found = stub_addresses_.find(import_key(import.dll, import.name));
    if (import.name.empty() || found == stub_addresses_.end()) {
      missing_stubs.push_back(import.dll + "!" +
                              (import.name.empty() ? std::string("(by ordinal)") : import.name));
      continue;
    }
    put_u32(base_ + import.iat_rva, found->second);
  }
}

std::uint32_t EmulatedProcess::add_stub(const std::string& dll, const std::string& name,
                                        int argument_bytes, Handler handler) {
  const std::uint32_t address = next_stub_;
  next_stub_ += 0x10;
  auto* stub = new Stub{name, argument_bytes, handler};
  stubs_.push_back(stub);
  stubs_by_address_[address] = stub;
  stub_addresses_[import_key(dll, name)] = address;
  // ret, or ret n for a function that pops its own arguments.
  const std::uint8_t code[] = {argument_bytes < 0 ? std::uint8_t{0xC3} : std::uint8_t{0xC2},
                               static_cast<std::uint8_t>(argument_bytes & 0xFF),
                               static_cast<std::uint8_t>((argument_bytes >> 8) & 0xFF)};
  uc_mem_write(uc_, address, code, argument_bytes < 0 ? 1 : 3);
  return address;
}

// Each section with its own protection, the headers read-only; and the
// slot page and the page of the process's own program's headers as the
// setup has them.
void EmulatedProcess::protect_sections() {
  uc_mem_protect(uc_, base_, page_up(image_.image_size), UC_PROT_NONE);
  uc_mem_protect(uc_, base_, page_up(image_.headers_size), UC_PROT_READ);
  for (const PeSection& section : image_.sections) {
    const std::uint32_t size = page_up(std::max(section.virtual_size, section.raw_size));
    if (size == 0) continue;
    uc_mem_protect(uc_, base_ + section.rva, size, protection_of(section.characteristics));
  }
  uc_mem_protect(uc_, kStubs, kStubsSize, UC_PROT_READ | UC_PROT_EXEC);
  uc_mem_protect(uc_, kSlotPage, kPage, slot_page_access(setup_.slot_home, slot_protection()));
  const bool headers_readable = setup_.main_image_headers && setup_.main_image_headers_readable;
  uc_mem_protect(uc_, kMainImageBase, kPage, headers_readable ? UC_PROT_READ : UC_PROT_NONE);
}

// A flat 32-bit stack segment (the emulator starts with a 16-bit one) and
// FS on the thread's TEB, whose Self and StackBase the C runtime reads.
void EmulatedProcess::set_up_segments() {
  const std::uint64_t table[] = {0, descriptor(0, 0xFFFFF, 0x9B, 0xC),
                                 descriptor(0, 0xFFFFF, 0x93, 0xC),
                                 descriptor(kTeb, kPage - 1, 0x93, 0x4)};
  uc_mem_write(uc_, kGdt, table, sizeof table);
  uc_mem_protect(uc_, kGdt, kPage, UC_PROT_READ);
  uc_x86_mmr gdtr{0, kGdt, sizeof table - 1, 0};
  uc_reg_write(uc_, UC_X86_REG_GDTR, &gdtr);
  const int data = 2 << 3, fs = 3 << 3;
  uc_reg_write(uc_, UC_X86_REG_SS, &data);
  uc_reg_write(uc_, UC_X86_REG_DS, &data);
  uc_reg_write(uc_, UC_X86_REG_ES, &data);
  uc_reg_write(uc_, UC_X86_REG_FS, &fs);
  put_u32(kTeb + 0x18, kTeb);
}

void EmulatedProcess::enter_thread(std::uint32_t stack_top) {
  put_u32(kTeb + 4, stack_top);
  put_u32(kTeb + 8, stack_top - kStackSize);
  const std::uint32_t esp = stack_top - 0x100;
  uc_reg_write(uc_, UC_X86_REG_ESP, &esp);
}

// Calls `function` as stdcall with `arguments`, from the current stack, and
// checks that it returns with the stack as it found it.
std::uint32_t EmulatedProcess::call(std::uint32_t function,
                                    const std::vector<std::uint32_t>& arguments,
                                    const std::string& what) {
  std::uint32_t esp;
  uc_reg_read(uc_, UC_X86_REG_ESP, &esp);
  const std::uint32_t before = esp;
  for (auto argument = arguments.rbegin(); argument != arguments.rend(); ++argument) {
    esp -= 4;
    put_u32(esp, *argument);
  }
  esp -= 4;
  put_u32(esp, kReturnToHost);
  uc_reg_write(uc_, UC_X86_REG_ESP, &esp);
  stopped_at_wait_ = false;
  const uc_err error = uc_emu_start(uc_, function, kReturnToHost, kRunTimeoutUs, 0);
  std::uint32_t eip, eax, after;
  uc_reg_read(uc_, UC_X86_REG_EIP, &eip);
  uc_reg_read(uc_, UC_X86_REG_EAX, &eax);
  uc_reg_read(uc_, UC_X86_REG_ESP, &after);
  if (error != UC_ERR_OK) {
    fault(what + ": " + uc_strerror(error) + " at " + hex(eip));
  } else if (stopped_at_wait_) {
    return 0;
  } else if (eip != kReturnToHost) {
    fault(what + " did not return within " + std::to_string(kRunTimeoutUs / 1'000'000) + " s");
  } else if (after != before) {
    fault(what + " returned with the stack moved by " +
          std::to_string(static_cast<std::int32_t>(after - before)) + " bytes");
  }
  uc_reg_write(uc_, UC_X86_REG_ESP, &before);
  return eax;
}

std::vector<std::uint32_t> EmulatedProcess::tls_callbacks() {
  std::vector<std::uint32_t> callbacks;
  if (image_.tls_directory_rva == 0) return callbacks;
  // IMAGE_TLS_DIRECTORY32: the loader writes the TLS index, here always 0.
  put_u32(u32(base_ + image_.tls_directory_rva + 8), 0);
  for (std::uint32_t at = u32(base_ + image_.tls_directory_rva + 12);; at += 4) {
    const std::uint32_t callback = u32(at);
    if (callback == 0) return callbacks;
    callbacks.push_back(callback);
  }
}

// One notification as the loader gives it: the TLS callbacks, then the
// entry point, which must answer TRUE.
void EmulatedProcess::notify(std::uint32_t reason, std::uint32_t reserved,
                             const std::string& thread) {
  const std::string name = reason == kDllProcessAttach  ? "DLL_PROCESS_ATTACH"
                           : reason == kDllThreadAttach ? "DLL_THREAD_ATTACH"
                                                        : "DLL_PROCESS_DETACH";
  for (std::uint32_t callback : tls_callbacks()) {
    call(callback, {base_, reason, reserved}, "the TLS callback with " + name);
  }
  if (reason == kDllThreadAttach && thread_calls_disabled_) return;
  loader_events.push_back("DllMain(" + name + ") on the " + thread);
  const std::uint32_t answer =
      call(base_ + image_.entry_rva, {base_, reason, reserved}, "DllMain(" + name + ")");
  if (answer != 1) fault("DllMain(" + name + ") returned " + std::to_string(answer));
}

void EmulatedProcess::attach() {
  enter_thread(kMainStack + kStackSize);
  notify(kDllProcessAttach, 0, "loading thread");
}

void EmulatedProcess::run_worker(int cycles_wanted) {
  if (!worker_created()) return;
  enter_thread(kWorkerStack + kStackSize);
  notify(kDllThreadAttach, 0, "worker");
  cycles.assign(1, {});
  cycles_wanted_ = cycles_wanted;
  call(worker_start_, {worker_parameter_}, "the worker");
  if (!stopped_at_wait_ && faults.empty()) fault("the worker returned");
}

void EmulatedProcess::detach() {
  enter_thread(kMainStack + kStackSize);
  notify(kDllProcessDetach, 1, "exiting thread");
}

std::int32_t EmulatedProcess::slot_value() {
  std::int32_t value = 0;
  uc_mem_read(uc_, kSlotAddress, &value, sizeof value);
  return value;
}

void EmulatedProcess::on_code(uc_engine*, std::uint64_t address, std::uint32_t, void* self) {
  auto* process = static_cast<EmulatedProcess*>(self);
  const auto found = process->stubs_by_address_.find(static_cast<std::uint32_t>(address));
  if (found == process->stubs_by_address_.end()) return;
  const std::uint32_t result = (process->*(found->second->handler))();
  uc_reg_write(process->uc_, UC_X86_REG_EAX, &result);
}

void EmulatedProcess::on_slot_write(uc_engine*, uc_mem_type, std::uint64_t address, int size,
                                    std::int64_t value, void* self) {
  auto* process = static_cast<EmulatedProcess*>(self);
  if (address == kSlotAddress && size == 4) {
    process->cycle_events().push_back(slot_store_event(static_cast<std::int32_t>(value)));
  } else {
    process->cycle_events().push_back("a " + std::to_string(size) + "-byte write at " +
                                      hex(static_cast<std::uint32_t>(address)));
  }
}

bool EmulatedProcess::on_invalid(uc_engine* uc, uc_mem_type type, std::uint64_t address, int,
                                 std::int64_t, void* self) {
  std::uint32_t eip;
  uc_reg_read(uc, UC_X86_REG_EIP, &eip);
  const char* access = type == UC_MEM_WRITE_PROT || type == UC_MEM_WRITE_UNMAPPED   ? "write"
                       : type == UC_MEM_FETCH_PROT || type == UC_MEM_FETCH_UNMAPPED ? "fetch"
                                                                                    : "read";
  static_cast<EmulatedProcess*>(self)->fault(std::string("a ") + access + " of " +
                                             hex(static_cast<std::uint32_t>(address)) +
                                             " faulted at " + hex(eip));
  return false;
}

std::uint32_t EmulatedProcess::argument(int index) {
  std::uint32_t esp;
  uc_reg_read(uc_, UC_X86_REG_ESP, &esp);
  return u32(esp + 4 + 4 * static_cast<std::uint32_t>(index));
}

std::uint32_t EmulatedProcess::u32(std::uint32_t address) {
  std::uint32_t value = 0;
  uc_mem_read(uc_, address, &value, sizeof value);
  return value;
}

void EmulatedProcess::put_u32(std::uint32_t address, std::uint32_t value) {
  uc_mem_write(uc_, address, &value, sizeof value);
}

std::string EmulatedProcess::c_string(std::uint32_t address) {
  if (address == 0) return "(null)";
  std::string text;
  for (char c; text.size() < 4096 && uc_mem_read(uc_, address + text.size(), &c, 1) == UC_ERR_OK &&
               c != '\0';) {
    text += c;
  }
  return text;
}

// "in .eh_fram", the section that holds `address`, as events name it.
std::string EmulatedProcess::section_of(std::uint32_t address) {
  for (const PeSection& section : image_.sections) {
    const std::uint32_t start = base_ + section.rva;
    if (address >= start && address < start + std::max(section.virtual_size, section.raw_size)) {
      return "in " + section.name;
    }
  }
  return hex(address);
}

// The slot page's protection in the cycle now running, or before the first.
scenarios::Protection EmulatedProcess::slot_protection() {
  const int cycle = std::max(static_cast<int>(cycles.size()) - 1, 0);
  return setup_.slot_protection ? setup_.slot_protection(cycle) : Protection::kReadWrite;
}

// The host's side of a new cycle: the slot page as the cycle has it, and
// the host's own value in the slot.
void EmulatedProcess::begin_cycle() {
  uc_mem_protect(uc_, kSlotPage, kPage, slot_page_access(setup_.slot_home, slot_protection()));
  const std::int32_t value = scenarios::kHostValue;
  uc_mem_write(uc_, kSlotAddress, &value, sizeof value);
}

std::vector<std::string>& EmulatedProcess::cycle_events() {
  if (cycles.empty()) return loader_events;
  return cycles.back();
}

void EmulatedProcess::fault(const std::string& what) { faults.push_back(what); }

// The stubs. Each reads its arguments from the caller's stack; the stub's
// own ret then pops them as the real function would.

std::uint32_t EmulatedProcess::Nothing() { return 0; }

std::uint32_t EmulatedProcess::GetLastError() { return 0; }

std::uint32_t EmulatedProcess::CloseHandle() {
  loader_events.push_back("CloseHandle(" + hex(argument(0)) + ")");
  return 1;
}

std::uint32_t EmulatedProcess::DisableThreadLibraryCalls() {
  const bool self = argument(0) == base_;
  loader_events.push_back(std::string("DisableThreadLibraryCalls(") +
                          (self ? "the module" : hex(argument(0))) + ")");
  thread_calls_disabled_ |= self;
  return 1;
}

std::uint32_t EmulatedProcess::GetModuleHandleExW() {
  const std::uint32_t flags = argument(0), address = argument(1), out = argument(2);
  const bool inside = address >= base_ && address < base_ + image_.image_size;
  loader_events.push_back("GetModuleHandleExW(" + hex(flags) + ", " +
                          (inside ? "an address in the module" : hex(address)) + ")");
  if (setup_.pinning_fails) return 0;
  put_u32(out, base_);
  return 1;
}

// CREATE_SUSPENDED and every other flag are told apart in the event.
std::uint32_t EmulatedProcess::CreateThread() {
  const std::uint32_t start = argument(2);
  const bool inside = start >= base_ && start < base_ + image_.image_size;
  loader_events.push_back("CreateThread(" + hex(argument(0)) + ", " + std::to_string(argument(1)) +
                          ", " + (inside ? "a procedure in the module" : hex(start)) + ", " +
                          hex(argument(3)) + ", " + hex(argument(4)) + ", " + hex(argument(5)) +
                          ")");
  if (setup_.thread_creation_fails) return 0;
  worker_start_ = start;
  worker_parameter_ = argument(3);
  return kThreadHandle;
}

// For NULL, the process's own program, as a cycle's event.
std::uint32_t EmulatedProcess::GetModuleHandleA() {
  if (argument(0) == 0) {
    cycle_events().push_back("GetModuleHandleA(NULL)");
    return setup_.main_image_headers ? kMainImageBase : 0;
  }
  const std::string name = c_string(argument(0));
  loader_events.push_back("GetModuleHandleA(\"" + name + "\")");
  return setup_.host_has_libgcc && name == kLibgcc ? kLibgccHandle : 0;
}

std::uint32_t EmulatedProcess::LoadLibraryA() {
  const std::string name = c_string(argument(0));
  loader_events.push_back("LoadLibraryA(\"" + name + "\")");
  return setup_.host_has_libgcc && name == kLibgcc ? kLibgccHandle : 0;
}

std::uint32_t EmulatedProcess::FreeLibrary() {
  loader_events.push_back("FreeLibrary(" + hex(argument(0)) + ")");
  return 1;
}

std::uint32_t EmulatedProcess::GetProcAddress() {
  const std::string name = c_string(argument(1));
  loader_events.push_back("GetProcAddress(" + hex(argument(0)) + ", \"" + name + "\")");
  if (argument(0) != kLibgccHandle) return 0;
  const auto found = stub_addresses_.find(import_key(kLibgcc, name));
  return found == stub_addresses_.end() ? 0 : found->second;
}

// The C runtime hands over its unwind frames and an object of its own.
std::uint32_t EmulatedProcess::RegisterFrames() {
  std::uint32_t eip;
  uc_reg_read(uc_, UC_X86_REG_EIP, &eip);
  loader_events.push_back(stubs_by_address_[eip]->name + "(" + section_of(argument(0)) + ")");
  return 0;
}

std::uint32_t EmulatedProcess::GetPrivateProfileStringA() {
  const std::string section = c_string(argument(0)), key = c_string(argument(1));
  const std::string fallback = c_string(argument(2)), file = c_string(argument(5));
  const std::uint32_t buffer = argument(3), size = argument(4);
  cycle_events().push_back(profile_read_event(section, key, fallback, size, file));
  auto current = setup_.files.upper_bound(static_cast<int>(cycles.size()) - 1);
  const std::optional<std::string> bytes =
      current == setup_.files.begin() ? std::nullopt : std::prev(current)->second;
  const std::string value = profile_value(bytes, section, key, fallback, size);
  // As the platform's reader, it writes the text and its NUL and no more.
  if (size != 0) uc_mem_write(uc_, buffer, value.c_str(), value.size() + 1);
  return static_cast<std::uint32_t>(value.size());
}

// Ends a cycle: the worker is stopped at its wait once it has done the
// cycles asked for. Every wait must find the stack where the first did.
std::uint32_t EmulatedProcess::Sleep() {
  std::uint32_t esp;
  uc_reg_read(uc_, UC_X86_REG_ESP, &esp);
  if (!wait_stack_) wait_stack_ = esp;
  if (esp != *wait_stack_) {
    fault("wait " + std::to_string(cycles.size()) + " found the stack moved by " +
          std::to_string(static_cast<std::int32_t>(esp - *wait_stack_)) + " bytes");
  }
  if (cycles.size() > 1) slot_after_cycles.push_back(slot_value());
  if (static_cast<int>(cycles.size()) > cycles_wanted_) {
    stopped_at_wait_ = true;
    uc_emu_stop(uc_);
    return 0;
  }
  cycles.push_back({wait_event(argument(0))});
  begin_cycle();
  return 0;
}

std::uint32_t EmulatedProcess::VirtualQuery() {
  const std::uint32_t address = argument(0), record = argument(1), size = argument(2);
  cycle_events().push_back(slot_query_event(address, size));
  if (size < 28) return 0;
  std::array<std::uint32_t, 7> fields;
  if ((address & ~(kPage - 1)) == kMainImageBase && setup_.main_image_headers) {
    fields = header_page_record(setup_.main_image_headers_readable);
  } else if ((address & ~(kPage - 1)) == kSlotPage) {
    if (slot_protection() == Protection::kQueryFails) return 0;
    fields = slot_page_record(setup_.slot_home, slot_protection());
  } else {
    fault("VirtualQuery of " + hex(address) + ", neither the slot page nor the program's headers");
    return 0;
  }
  uc_mem_write(uc_, record, fields.data(), sizeof fields);
  return 28;
}

std::uint32_t EmulatedProcess::VirtualProtect() {
  const std::uint32_t address = argument(0), size = argument(1), old = argument(3);
  loader_events.push_back("VirtualProtect(" + hex(address) + ", " + std::to_string(size) + ")");
  if (address < base_ || address + size > base_ + image_.image_size) {
    fault("VirtualProtect outside the module, at " + hex(address));
    return 0;
  }
  put_u32(old, 0x04);
  uc_mem_protect(uc_, address & ~(kPage - 1), page_up(address % kPage + size), UC_PROT_ALL);
  return 1;
}

// The 16-bit key state, with the rest of EAX not cleared, as the calling
// convention allows: the caller must look at AX alone.
std::uint32_t EmulatedProcess::GetAsyncKeyState() {
  const auto code = static_cast<std::int32_t>(argument(0));
  cycle_events().push_back(key_query_event(code));
  const std::uint16_t state =
      setup_.key_state ? setup_.key_state(static_cast<int>(cycles.size()) - 1, code) : 0;
  return 0xDEAD0000u | state;
}

std::uint32_t EmulatedProcess::ErrorExit() {
  fault("the C runtime gave up (_amsg_exit or abort)");
  uc_emu_stop(uc_);
  return 0;
}

std::uint32_t EmulatedProcess::ErrorPrint() {
  fault("the C runtime printed an error message");
  return 0;
}

std::uint32_t EmulatedProcess::calloc() {
  const std::uint32_t size = (argument(0) * argument(1) + 15) & ~15u;
  if (heap_next_ + size > kHeap + kHeapSize) return 0;
  const std::uint32_t block = heap_next_;
  heap_next_ += size;
  allocations_[block] = size;
  return block;
}

std::uint32_t EmulatedProcess::realloc() {
  const std::uint32_t old = argument(0), size = (argument(1) + 15) & ~15u;
  if (heap_next_ + size > kHeap + kHeapSize) return 0;
  const std::uint32_t block = heap_next_;
  heap_next_ += size;
  allocations_[block] = size;
  if (old != 0) {
    std::vector<std::uint8_t> bytes(std::min(allocations_[old], size));
    uc_mem_read(uc_, old, bytes.data(), bytes.size());
    uc_mem_write(uc_, block, bytes.data(), bytes.size());
  }
  return block;
}

std::uint32_t EmulatedProcess::strlen() {
  return static_cast<std::uint32_t>(c_string(argument(0)).size());
}

std::uint32_t EmulatedProcess::strncmp() {
  const std::string a = c_string(argument(0)), b = c_string(argument(1));
  return static_cast<std::uint32_t>(std::strncmp(a.c_str(), b.c_str(), argument(2)));
}

}  // namespace holsterkeys::emulator
