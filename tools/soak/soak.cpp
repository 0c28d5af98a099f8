// holsterkeys-soak: the module in the stand-in host for a long run, while a
// driver presses random bound and unbound keys and rewrites the
// configuration in every way a player or an editor might, and the host
// writes values of its own into the slot. Fails if the slot ever holds a
// value that neither wrote, if the module's thread count changes, or if
// handles or private memory grow.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tools/host/stand_in_host.h"

using namespace holsterkeys;

namespace {

// Keys the random configurations bind, and keys they never bind.
constexpr auto& kBoundPool = host::kSpareKeys;
constexpr KeyCode kUnboundKeys[] = {0x81, 0x82, 0x83};
constexpr std::int32_t kHostValues[] = {0, 1, 7, 100, -1};
// Growth after warm-up that still counts as flat.
constexpr DWORD kHandleSlack = 8;
constexpr SIZE_T kPrivateSlackKiB = 512;

std::atomic<bool> running{true};
std::atomic<long> violations{0};
std::atomic<long long> samples{0}, stores_seen{0};

bool is_module_value(std::int32_t value) { return value >= 2 && value <= 6; }

bool is_host_value(std::int32_t value) {
  for (std::int32_t own : kHostValues) {
    if (own == value) return true;
  }
  return false;
}

// The host writes its own values into the slot on its own schedule.
void host_writer() {
  std::mt19937 random(7);
  while (running) {
    host::slot_variable() = kHostValues[random() % std::size(kHostValues)];
    Sleep(5 + random() % 20);
  }
}

// Every value the slot ever holds is the host's or one of 2 to 6.
void slot_watcher() {
  std::int32_t last = host::slot_variable();
  while (running) {
    const std::int32_t value = host::slot_variable();
    ++samples;
    if (value != last && is_module_value(value)) ++stores_seen;
    if (!is_module_value(value) && !is_host_value(value)) {
      if (violations++ < 10) std::printf("VIOLATION: the slot holds %d\n", static_cast<int>(value));
    }
    last = value;
    YieldProcessor();
    if ((samples & 0xFF) == 0) Sleep(1);
  }
}

std::string random_config(std::mt19937& random) {
  std::string text = "[Bindings]\r\n";
  for (const Category& category : kCategories) {
    if (random() % 6 == 0) continue;  // sometimes unbound
    text += std::string(category.name) + "=" +
            std::to_string(kBoundPool[random() % std::size(kBoundPool)]) + "\r\n";
  }
  return text;
}

// The driver's state: its random source, the keys it holds, its counts.
struct Run {
  std::mt19937 random{20261208};
  std::vector<KeyCode> held;
  long key_events = 0;
  long rewrites = 0;
  long thread_changes = 0;
};

// Rewrites the configuration as editors and players do, half-written files
// and missing files included.
void rewrite_config(Run& run) {
  ++run.rewrites;
  const std::string text = random_config(run.random);
  switch (run.random() % 6) {
    case 0:
      host::write_config(text);
      break;
    case 1:  // cut off mid-line
      host::write_config(text.substr(0, run.random() % text.size()));
      break;
    case 2: {  // written in pieces, with pauses between them
      std::ofstream file(kConfigPath, std::ios::binary | std::ios::trunc);
      for (std::size_t at = 0; at < text.size() && file; at += 7) {
        file << text.substr(at, 7) << std::flush;
        Sleep(run.random() % 15);
      }
      break;
    }
    case 3:
      host::write_config("");
      break;
    case 4:
      host::remove_config();
      break;
    default:  // deleted and written again
      host::remove_config();
      Sleep(run.random() % 120);
      host::write_config(text);
  }
}

KeyCode any_key(std::mt19937& random) {
  const std::size_t pick = random() % (std::size(kBoundPool) + std::size(kUnboundKeys));
  return pick < std::size(kBoundPool) ? kBoundPool[pick]
                                      : kUnboundKeys[pick - std::size(kBoundPool)];
}

// Presses, releases, taps and chords of bound and unbound keys.
void press_randomly(Run& run) {
  ++run.key_events;
  switch (run.random() % 4) {
    case 0:  // press and hold
      host::press_key(run.held.emplace_back(any_key(run.random)));
      break;
    case 1:  // tap
      host::press_key(run.held.emplace_back(any_key(run.random)));
      Sleep(run.random() % 60);
      host::release_key(run.held.back());
      run.held.pop_back();
      break;
    case 2:  // chord
      for (int i = 0; i < 3; ++i) host::press_key(run.held.emplace_back(any_key(run.random)));
      break;
    default:  // release everything
      for (KeyCode key : run.held) host::release_key(key);
      run.held.clear();
  }
}

// Drives keys and rewrites until `end`; with `threads_before` set, checks
// once a second that the module still has exactly one thread.
void drive_until(Run& run, ULONGLONG end, int threads_before = -1) {
  ULONGLONG next_count = GetTickCount64() + 1000;
  while (GetTickCount64() < end) {
    press_randomly(run);
    if (run.random() % 8 == 0) rewrite_config(run);
    Sleep(run.random() % 40);
    if (threads_before >= 0 && GetTickCount64() >= next_count) {
      next_count += 1000;
      if (host::count_threads() - threads_before != 1) ++run.thread_changes;
    }
  }
}

struct Usage {
  DWORD handles;
  SIZE_T private_kib;
};

Usage usage() { return {host::open_handles(), host::private_committed_kib()}; }

// Prints the run's figures; true when it passed.
bool report(const Run& run, int seconds, int module_threads, Usage start, Usage finish) {
  const bool handles_flat = finish.handles <= start.handles + kHandleSlack;
  const bool memory_flat = finish.private_kib <= start.private_kib + kPrivateSlackKiB;
  std::printf("soak: %d s, %ld key events, %ld configuration rewrites\n", seconds, run.key_events,
              run.rewrites);
  std::printf("slot: %lld samples, %lld stores seen, %ld values from neither writer\n",
              samples.load(), stores_seen.load(), violations.load());
  std::printf("module threads: %d at start, %ld checks off by one or more\n", module_threads,
              run.thread_changes);
  std::printf("handles: %lu at start, %lu at end%s\n", start.handles, finish.handles,
              handles_flat ? "" : "  GROWING");
  std::printf("private memory: %lu KiB at start, %lu KiB at end%s\n",
              static_cast<unsigned long>(start.private_kib),
              static_cast<unsigned long>(finish.private_kib), memory_flat ? "" : "  GROWING");
  const bool passed = violations == 0 && module_threads == 1 && run.thread_changes == 0 &&
                      stores_seen > 0 && handles_flat && memory_flat;
  std::printf("soak %s\n", passed ? "passed" : "FAILED");
  return passed;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 600;
  if (seconds <= 0) {
    std::fprintf(stderr, "usage: holsterkeys-soak [SECONDS]\n");
    return 2;
  }
  host::enter_scratch_folder("soak");
  Run run;
  host::write_config(random_config(run.random));

  std::thread writer(host_writer), watcher(slot_watcher);
  const int threads_before = host::count_threads();
  if (host::load_module() == nullptr) return 1;
  Sleep(300);
  const int module_threads = host::count_threads() - threads_before;

  // Handles and memory are taken after a warm-up that fills the caches.
  drive_until(run, GetTickCount64() + 2000);
  const Usage start = usage();
  drive_until(run, GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000, threads_before);
  for (KeyCode key : run.held) host::release_key(key);
  const Usage finish = usage();
  running = false;
  writer.join();
  watcher.join();
  host::remove_config();
  host::exit_host(report(run, seconds, module_threads, start, finish) ? 0 : 1);
}
