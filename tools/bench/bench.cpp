// holsterkeys-bench: measures the release module in the stand-in host and
// prints a Markdown table of its figures next to their targets. It asserts
// nothing; the figures are for people to read.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "module/windows_platform.h"
#include "selector/selection_cycle.h"
#include "tools/host/stand_in_host.h"

using namespace holsterkeys;

namespace {

constexpr auto& kRowKeys = host::kSpareKeys;
constexpr int kCycleSamples = 2000;
constexpr int kLoadSamples = 60;
constexpr DWORD kCpuWindowMs = 10000;
// Wine counts CPU time in ticks of 10 ms: over 10 s a figure moves in steps
// of 0.1 %, as large as the setup window's whole idle cost, so that one is
// measured over longer.
constexpr DWORD kIdleWindowMs = 30000;
constexpr long kLargeFileBytes = 50L << 20;

double now_ms() {
  static const double ticks_per_ms = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / ticks_per_ms;
}

double percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  const auto index =
      static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
  return values[index];
}

double ms_of(FILETIME time) {
  return static_cast<double>(static_cast<ULONGLONG>(time.dwHighDateTime) << 32 |
                             time.dwLowDateTime) /
         10000.0;
}

// The CPU time of a thread or of a process, in ms; -1 when it cannot be read.
double cpu_ms(HANDLE handle, bool is_process) {
  FILETIME created, exited, kernel, user;
  const BOOL read = is_process ? GetProcessTimes(handle, &created, &exited, &kernel, &user)
                               : GetThreadTimes(handle, &created, &exited, &kernel, &user);
  return read ? ms_of(kernel) + ms_of(user) : -1;
}

double thread_cpu_ms(HANDLE thread) { return cpu_ms(thread, false); }

// A thread's or process's CPU time over a window, as a share of one core.
double cpu_percent_over_window(HANDLE handle, bool is_process, DWORD window_ms = kCpuWindowMs) {
  const double cpu_start = cpu_ms(handle, is_process), wall_start = now_ms();
  Sleep(window_ms);
  const double cpu = cpu_ms(handle, is_process) - cpu_start, wall = now_ms() - wall_start;
  return cpu_start < 0 ? -1 : 100.0 * cpu / wall;
}

struct CycleWork {
  std::vector<double> wall_us;
  double cpu_us;  // this thread's CPU time, mean per cycle
};

// The module's cycle with the real reader and key-state query, without the
// wait and the store.
CycleWork cycle_work() {
  const WindowsPlatform platform;
  const auto key_state = [&](KeyCode code) { return platform.key_state(code); };
  CycleWork work;
  const double cpu_start = thread_cpu_ms(GetCurrentThread());
  for (int i = 0; i < kCycleSamples; ++i) {
    const double start = now_ms();
    cycle_outcome(platform, key_state);
    work.wall_us.push_back((now_ms() - start) * 1000.0);
  }
  work.cpu_us = (thread_cpu_ms(GetCurrentThread()) - cpu_start) * 1000.0 / kCycleSamples;
  return work;
}

// Presses one row's key at a moment of the module's cycle and times the
// press until its slot number is in the variable. The moments are spread
// over the period by a randomly started golden-ratio sequence, so that a
// hundred presses cover the cycle evenly. Each press is timed from the store
// of the one before, which is a moment of polling. Rows take turns, so a
// late store of the previous press never passes for this one.
std::vector<double> press_to_store_ms(int presses, double period_ms) {
  constexpr double kGoldenRatio = 0.6180339887498949;
  std::mt19937 random(42);
  double phase = std::uniform_real_distribution<double>(0, 1)(random);
  std::vector<double> latencies;
  double last_store = now_ms();
  for (int i = 0; i < presses; ++i) {
    const std::size_t row = static_cast<std::size_t>(i) % kCategoryCount;
    phase = phase + kGoldenRatio - static_cast<int>(phase + kGoldenRatio);
    // Past the next poll or two, so the previous key's release is seen first.
    const double press_at = last_store + 2 * period_ms + phase * period_ms;
    while (now_ms() < press_at - 2) Sleep(1);
    while (now_ms() < press_at) YieldProcessor();
    host::slot_variable() = 0;
    const double pressed = now_ms();
    host::press_key(kRowKeys[row]);
    while (host::slot_variable() != kCategories[row].slot && now_ms() - pressed < 1000) {
      YieldProcessor();
    }
    last_store = now_ms();
    latencies.push_back(last_store - pressed);
    host::release_key(kRowKeys[row]);
  }
  return latencies;
}

// The module's real period, wait plus work: with a key held, the time from
// one store to the next (the host clears the slot after each).
std::vector<double> cycle_period_ms() {
  constexpr int kPeriods = 50;
  host::press_key(kRowKeys[4]);
  std::vector<double> periods;
  double last = 0;
  for (int i = 0; i <= kPeriods; ++i) {
    const double start = now_ms();
    while (host::slot_variable() != kCategories[4].slot && now_ms() - start < 1000)
      YieldProcessor();
    const double stored = now_ms();
    host::slot_variable() = 0;
    if (i > 0) periods.push_back(stored - last);
    last = stored;
  }
  host::release_key(kRowKeys[4]);
  Sleep(kCyclePeriodMs + 30);
  return periods;
}

std::string beside_program(const char* name) {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of("\\/") + 1) + name;
}

double worker_cpu_percent(DWORD worker) {
  HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, worker);
  if (thread == nullptr) return -1;
  const double percent = cpu_percent_over_window(thread, false);
  CloseHandle(thread);
  return percent;
}

// Starts a program beside this one; its output goes nowhere.
bool start_beside(const char* program, const std::string& arguments, PROCESS_INFORMATION& process) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  std::string command = "\"" + beside_program(program) + "\" " + arguments;
  return CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process);
}

bool start_checker(const std::string& arguments, PROCESS_INFORMATION& process) {
  return start_beside("holsterkeys-check.exe", arguments, process);
}

void end_process(PROCESS_INFORMATION& process) {
  TerminateProcess(process.hProcess, 0);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
}

BOOL CALLBACK is_visible_window_of(HWND window, LPARAM process_id) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  return !(owner == static_cast<DWORD>(process_id) && IsWindowVisible(window));
}

struct SetupWindowCost {
  double start_ms, idle_cpu_percent;
};

// The setup window as a player opens it in the game's folder: the time
// until its window shows, then its share of a core while it only watches
// the file, the keys and the running games, this host among them.
SetupWindowCost setup_window_cost() {
  PROCESS_INFORMATION process{};
  const double start = now_ms();
  if (!start_beside("holsterkeys-setup.exe", "", process)) return {-1, -1};
  while (EnumWindows(is_visible_window_of, static_cast<LPARAM>(process.dwProcessId))) {
    if (now_ms() - start > 30000) {
      end_process(process);
      return {-1, -1};
    }
    Sleep(2);
  }
  const double shown = now_ms() - start;
  Sleep(2000);
  const double cpu = cpu_percent_over_window(process.hProcess, true, kIdleWindowMs);
  end_process(process);
  return {shown, cpu};
}

// The checker's --keys mode queries 254 key states every 10 ms, the most
// costly under Wine.
double keys_mode_cpu_percent() {
  PROCESS_INFORMATION process{};
  if (!start_checker("--keys", process)) return -1;
  Sleep(1000);
  const double percent = cpu_percent_over_window(process.hProcess, true);
  end_process(process);
  return percent;
}

// A 50 MB configuration, as a runaway tool may leave one: the bindings,
// then a section of a million other settings.
std::string write_large_config(const std::string& folder) {
  const std::string path = folder + "\\large.ini";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return path;
  std::fputs(
      "[Bindings]\r\nhandguns=0x62\r\nmachineguns=0x65\r\nsubmachine=0x64\r\n"
      "shotgun=0x63\r\nrifle=0x66\r\n[Other]\r\n",
      file);
  for (long written = 0, n = 0; written < kLargeFileBytes; ++n) {
    written += std::fprintf(file, "setting%07ld=some value of another program\r\n", n);
  }
  std::fclose(file);
  return path;
}

// How long the checker takes to check that file, start to exit.
double large_file_check_s(const std::string& folder) {
  const std::string path = write_large_config(folder);
  const double start = now_ms();
  PROCESS_INFORMATION process{};
  if (!start_checker("\"" + path + "\"", process)) return -1;
  WaitForSingleObject(process.hProcess, 120000);
  const double seconds = (now_ms() - start) / 1000.0;
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  DeleteFileA(path.c_str());
  return seconds;
}

struct LoadTimes {
  double module_us, empty_us;  // medians
};

// LoadLibrary of fresh copies of the module and of the empty DLL (a module
// loads only once per name), all copied first and then loaded in turns, so
// that both meet the same conditions.
LoadTimes median_load_us(const std::string& module, const std::string& empty,
                         const std::string& folder) {
  std::vector<std::string> copies;
  for (int i = 0; i < 2 * kLoadSamples; ++i) {
    copies.push_back(folder + "\\copy-" + std::to_string(i) + ".dll");
    CopyFileA((i % 2 == 0 ? module : empty).c_str(), copies.back().c_str(), FALSE);
  }
  std::vector<double> samples[2];
  for (int i = 0; i < 2 * kLoadSamples; ++i) {
    const double start = now_ms();
    if (LoadLibraryA(copies[static_cast<std::size_t>(i)].c_str()) == nullptr) return {-1, -1};
    samples[i % 2].push_back((now_ms() - start) * 1000.0);
  }
  return {percentile(samples[0], 0.5), percentile(samples[1], 0.5)};
}

long file_size(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)
             ? static_cast<long>(data.nFileSizeLow)
             : -1;
}

struct Measurements {
  int presses;
  CycleWork cycle;
  double worker_cpu_percent;
  double keys_mode_cpu_percent;
  std::vector<double> period_ms, latency_ms;
  LoadTimes load;
  long size, check_size, setup_size;  // of the release's files
  double large_file_s;
  SetupWindowCost setup;
};

// The worker is the thread that loading the module adds.
DWORD load_and_find_worker(const std::string& dll) {
  const std::set<DWORD> before = host::thread_ids();
  if (host::load_module(dll.c_str()) == nullptr) host::exit_host(1);
  Sleep(2 * kCyclePeriodMs);
  for (DWORD id : host::thread_ids()) {
    if (!before.contains(id)) return id;
  }
  return 0;
}

// The size rows are the release's, the 32-bit files: in the 64-bit test
// build they lie in the build tree beside this one.
constexpr bool kTestBuild64 = sizeof(void*) == 8;

long release_size(const std::string& name) {
  return file_size(beside_program(((kTestBuild64 ? "..\\win32\\" : "") + name).c_str()));
}

Measurements measure(int presses, const std::string& folder) {
  const std::string dll = beside_program("holsterkeys.dll");
  Measurements m{presses,
                 {},
                 0,
                 0,
                 {},
                 {},
                 {},
                 release_size("holsterkeys.dll"),
                 release_size("holsterkeys-check.exe"),
                 release_size("holsterkeys-setup.exe"),
                 0,
                 {}};
  std::fprintf(stderr, "bench: cycle work over %d cycles\n", kCycleSamples);
  m.cycle = cycle_work();
  const DWORD worker = load_and_find_worker(dll);
  std::fprintf(stderr, "bench: worker CPU over %lu s\n", kCpuWindowMs / 1000);
  m.worker_cpu_percent = worker_cpu_percent(worker);
  // Beside the game with the module at work, as players run it.
  std::fprintf(stderr, "bench: holsterkeys-check --keys over %lu s\n", kCpuWindowMs / 1000);
  m.keys_mode_cpu_percent = keys_mode_cpu_percent();
  // Before the load measurement leaves a hundred copies of the module
  // polling keys and reading the file: under Wine the window in front
  // answers for every program's key-state queries, and the profile reads
  // of all of them queue at the Wine server.
  std::fprintf(stderr, "bench: holsterkeys-setup, start and %lu s idle\n", kIdleWindowMs / 1000);
  m.setup = setup_window_cost();
  std::fprintf(stderr, "bench: holsterkeys-check on a %ld MB file\n", kLargeFileBytes >> 20);
  m.large_file_s = large_file_check_s(folder);
  std::fprintf(stderr, "bench: the module's period over 50 cycles\n");
  m.period_ms = cycle_period_ms();
  std::fprintf(stderr, "bench: %d presses at random phases\n", presses);
  m.latency_ms = press_to_store_ms(presses, percentile(m.period_ms, 0.5));
  std::fprintf(stderr, "bench: LoadLibrary of %d copies each\n", kLoadSamples);
  m.load = median_load_us(dll, beside_program("empty_module.dll"), folder);

  return m;
}

struct Row {
  std::string figure, measured, target, ideal;
};

template <class... Args>
std::string text(const char* format, Args... args) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, format, args...);
  return buffer;
}

// The module's figures: latency, its cycle, its worker and its load.
std::vector<Row> module_rows(const Measurements& m) {
  const std::vector<double>& work = m.cycle.wall_us;
  // The ideal: a press lands uniformly in a period of wait plus work, and
  // waits for the next poll of its key.
  const double period = kCyclePeriodMs + percentile(work, 0.5) / 1000.0;
  const double load_ratio = m.load.module_us / m.load.empty_us;
  return {
      {"Windows build measured",
       kTestBuild64 ? "64-bit test build of the same code" : "32-bit, the release", "", ""},
      {text("Press-to-store p50 (%d presses)", m.presses),
       text("%.1f ms", percentile(m.latency_ms, 0.5)), "<= 52 ms", text("%.1f ms", period / 2)},
      {"Press-to-store p95", text("%.1f ms", percentile(m.latency_ms, 0.95)), "",
       text("%.1f ms", period * 0.95)},
      {"Press-to-store max", text("%.1f ms", percentile(m.latency_ms, 1.0)), "<= 102 ms",
       text("%.1f ms", period)},
      {"Cycle period (wait plus work), median / max",
       text("%.1f / %.1f ms", percentile(m.period_ms, 0.5), percentile(m.period_ms, 1.0)), "",
       text("%.1f ms", period)},
      {"Cycle work (5 reads, 5 parses, 5 queries), median", text("%.0f us", percentile(work, 0.5)),
       "", ""},
      {"Cycle work, p95", text("%.0f us", percentile(work, 0.95)), "", ""},
      {"Cycle work, CPU time per cycle (mean)", text("%.0f us", m.cycle.cpu_us), "",
       text("%.3f %% of a core", 100.0 * m.cycle.cpu_us / (period * 1000.0))},
      // Wine counts thread time in 10 ms ticks: over 10 s, steps of 0.1 %.
      {text("Worker CPU, share of one core over %lu s", kCpuWindowMs / 1000),
       text("%.2f %%", m.worker_cpu_percent), "<= 0.2 %", ""},
      {"LoadLibrary, module vs empty DLL (medians)",
       text("%.2f (%.0f us vs %.0f us)", load_ratio, m.load.module_us, m.load.empty_us), "<= 1.2",
       "1.00"},
  };
}

std::string size_in_kib(long bytes) { return text("%ld bytes (%.1f KiB)", bytes, bytes / 1024.0); }

// The player's programs, and the sizes of all that ships.
std::vector<Row> program_rows(const Measurements& m) {
  return {
      {text("holsterkeys-check --keys, share of one core over %lu s", kCpuWindowMs / 1000),
       text("%.2f %%", m.keys_mode_cpu_percent), "<= 2 %", ""},
      {text("holsterkeys-check on a %ld MB file", kLargeFileBytes >> 20),
       text("%.1f s", m.large_file_s), "<= 2 s", ""},
      {"holsterkeys-setup, start to window",
       m.setup.start_ms < 0 ? "no window: is there a display?" : text("%.0f ms", m.setup.start_ms),
       "", ""},
      {text("holsterkeys-setup idle, share of one core over %lu s", kIdleWindowMs / 1000),
       text("%.2f %%", m.setup.idle_cpu_percent), "<= 0.3 %", ""},
      {"DLL size (the 32-bit release)", size_in_kib(m.size), "<= 16 KiB", ""},
      {"holsterkeys-check.exe size (32-bit)", size_in_kib(m.check_size), "<= 640 KiB", ""},
      {"holsterkeys-setup.exe size (32-bit)", size_in_kib(m.setup_size), "<= 640 KiB", ""},
  };
}

std::vector<Row> rows(const Measurements& m) {
  std::vector<Row> all = module_rows(m);
  const std::vector<Row> programs = program_rows(m);
  all.insert(all.end(), programs.begin(), programs.end());
  return all;
}

void print_table(const std::vector<Row>& table) {
  std::printf("| Figure | Measured | Target | Ideal for this design |\n|---|---|---|---|\n");
  for (const Row& row : table) {
    std::printf("| %s | %s | %s | %s |\n", row.figure.c_str(), row.measured.c_str(),
                row.target.c_str(), row.ideal.c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int presses = std::max(argc > 1 ? std::atoi(argv[1]) : 120, 10);
  const std::string folder = host::enter_scratch_folder("bench");
  host::write_config(host::config_binding(kRowKeys));
  print_table(rows(measure(presses, folder)));
  host::exit_host(0);
}
