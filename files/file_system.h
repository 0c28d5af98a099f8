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

// Reads the `size` bytes at `offset` of the file at `path` into `bytes`;
// false with `failure` when the file cannot be opened or they cannot all be
// read.
bool read_file_at(const std::string& path, std::uint64_t offset, std::size_t size,
                  std::string& bytes, FileFailure& failure);

// The path of the file or folder at `path` as the system names it once
// every symbolic link on the way is followed: Windows' final path, and
// under Wine a DOS path whose drive Wine chooses; empty where it cannot be
// opened. Two paths to the same folder have the same final path.
std::string final_path(const std::string& path);

// Linux as this program reaches it: natively, where the system is Linux,
// and under Wine, whose drives map Linux's folders (Z: maps its root, by
// default). On Windows there is no Linux, and these give nothing.

// The path by which this program reaches the Linux path `linux_path`:
// natively the path itself, under Wine its DOS path ("Z:\proc" for
// "/proc"); empty where there is no Linux.
std::string reach_linux(const std::string& linux_path);

// The Linux path of the file or folder at `path`, a path of this program:
// natively the path itself, under Wine the one Wine maps it to; empty
// where there is no Linux.
std::string linux_path_of(const std::string& path);

}  // namespace holsterkeys
