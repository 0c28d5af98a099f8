// The file system as the tools find it, through the platform's own calls:
// what a path is, the files in a folder, a path made whole and a file read
// whole. One source file per platform holds the calls; everything above
// this folder is portable. It uses nothing of the project's own.
// <filesystem> would triple the size of the programs that ship.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace holsterkeys {

// Folder separators as the platform takes them, and the one it writes.
#ifdef _WIN32
inline constexpr char kSeparators[] = "\\/";
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparators[] = "/";
inline constexpr char kSeparator = '/';
#endif

enum class PathKind { kMissing, kFile, kFolder, kError };

// Why a file could not be looked at or read: another program holds it
// locked, the player's account may not read it, or what the system says.
enum class FileProblem { kLocked, kNoPermission, kOther };
struct FileFailure {
  FileProblem problem = FileProblem::kOther;
  std::string message;  // kOther: the system's own words, in UTF-8
};

// What is at `path`; for kError, `failure` says why.
PathKind path_kind(const std::string& path, FileFailure& failure);

// One file or folder in a folder, with when it was last written, in
// seconds since 1970 (UTC).
struct FolderEntry {
  std::string name;
  bool folder;
  std::int64_t modified;
};

// What `folder` holds, without "." and ".."; empty when it cannot be listed.
std::vector<FolderEntry> entries_in(const std::string& folder);

// The path from the root, as the platform resolves it.
std::string absolute(const std::string& path);

// Where Windows gives a program without a manifest that says how it wants
// to run (most older games) a copy in place of a file it saved into a
// protected folder: the protected folders, and the folder of the player's
// copies. Away from Windows, none.
struct VirtualStore {
  std::vector<std::string> protected_folders;  // "C:\Program Files (x86)", the Windows folder...
  std::string copies;                          // "C:\Users\Ann\AppData\Local\VirtualStore"
};
VirtualStore virtual_store();

// Appends the file's bytes to `bytes`; false with `failure` when the file
// cannot be opened or read.
bool read_whole_file(const std::string& path, std::string& bytes, FileFailure& failure);

}  // namespace holsterkeys
