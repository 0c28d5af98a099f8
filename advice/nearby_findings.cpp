// Findings about the files around the configuration: copies and
// look-alikes that the module never reads, and a folder that does not look
// like the game's.
#include <ctime>

#include "advice/findings.h"
#include "bindings/category_names.h"
#include "files/file_system.h"

namespace holsterkeys {
namespace {

// "2026-12-09 10:31", in the player's own time.
std::string when(std::int64_t seconds) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  const std::tm* local = std::localtime(&time);
  char text[32] = "an unknown time";
  if (local != nullptr) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", local);
  return text;
}

bool is_below(const NearbyFile& other) {
  return other.path.find_first_of(kSeparators) != std::string::npos;
}

// Where the player's latest edits may be, and how to bring them over.
void saved_later(const ConfigFile& file, const NearbyFile& other, Diagnosis& diagnosis) {
  diagnosis.findings.push_back(
      quoted(other.path) +
      (is_below(other) ? " lies in a folder below and was saved after holsterkeys.ini ("
                       : " lies beside holsterkeys.ini and was saved after it (") +
      when(other.modified) + "; holsterkeys.ini " + when(file.modified) +
      "), but the module never reads it: it reads only " + file.location +
      ". If your latest changes are in " + quoted(other.path) + ", make them in holsterkeys.ini" +
      (is_below(other) ? ", or move that file here in its place."
                       : ", or delete holsterkeys.ini and rename that file to exactly "
                         "holsterkeys.ini."));
}

void never_read(const ConfigFile& file, const NearbyFile& other, Diagnosis& diagnosis) {
  if (file.state == ConfigFile::State::kRead) {
    diagnosis.notes.push_back(quoted(other.path) + " (saved " + when(other.modified) +
                              ") lies here too, but the module reads only holsterkeys.ini, "
                              "which was saved last (" +
                              when(file.modified) + ").");
    return;
  }
  diagnosis.notes.push_back(quoted(other.path) + " (saved " + when(other.modified) +
                            ") is not read by the module, which reads only " + file.location +
                            (is_below(other) ? ". Move it there." : "."));
}

// The module reads from the folder the game starts in, which holds the
// game's program.
void folder_without_program(const ConfigFile& file, Diagnosis& diagnosis) {
  if (file.programs_above.empty()) return;
  diagnosis.notes.push_back(
      folder_of(file.location) + " holds no program, but the folder above it holds " +
      joined(file.programs_above) +
      ". The game's folder is usually the one with the game's program in it, and the module "
      "reads holsterkeys.ini from the folder the game is started from: check that folder.");
}

}  // namespace

void diagnose_nearby(const ConfigFile& file, Diagnosis& diagnosis) {
  for (const NearbyFile& other : file.look_alikes) {
    if (file.state == ConfigFile::State::kMissing && other.path == file.similar) continue;
    if (file.state == ConfigFile::State::kRead && other.modified > file.modified) {
      saved_later(file, other, diagnosis);
    } else if (file.state != ConfigFile::State::kFolder) {
      never_read(file, other, diagnosis);
    }
  }
  folder_without_program(file, diagnosis);
}

}  // namespace holsterkeys
