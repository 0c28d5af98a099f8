// The file system where the tools run natively: POSIX.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "files/file_system.h"

namespace holsterkeys {
namespace {

FileFailure failure_of(int error) {
  if (error == EACCES || error == EPERM) return {FileProblem::kNoPermission, {}};
  return {FileProblem::kOther, std::strerror(error)};
}

}  // namespace

PathKind path_kind(const std::string& path, FileFailure& failure) {
  struct stat status;
  if (stat(path.c_str(), &status) == 0)
    return S_ISDIR(status.st_mode) ? PathKind::kFolder : PathKind::kFile;
  if (errno == ENOENT || errno == ENOTDIR) return PathKind::kMissing;
  failure = failure_of(errno);
  return PathKind::kError;
}

std::vector<FolderEntry> entries_in(const std::string& folder) {
  std::vector<FolderEntry> entries;
  DIR* listing = opendir(folder.c_str());
  if (listing == nullptr) return entries;
  for (const dirent* entry; (entry = readdir(listing)) != nullptr;) {
    const std::string name = entry->d_name;
    struct stat status;
    if (name == "." || name == ".." || stat((folder + "/" + name).c_str(), &status) != 0) continue;
    entries.push_back({name, S_ISDIR(status.st_mode), static_cast<std::int64_t>(status.st_mtime)});
  }
  closedir(listing);
  return entries;
}

// The path from the root, with "." and ".." taken out as written.
std::string absolute(const std::string& path) {
  std::string start = path;
  if (!path.starts_with('/')) {
    char folder[4096];
    if (getcwd(folder, sizeof folder) == nullptr) return path;
    start = std::string(folder) + "/" + path;
  }
  std::vector<std::string> parts;
  for (std::size_t at = 0; at <= start.size();) {
    const std::size_t end = std::min(start.find('/', at), start.size());
    const std::string part = start.substr(at, end - at);
    if (part == ".." && !parts.empty()) {
      parts.pop_back();
    } else if (!part.empty() && part != "." && part != "..") {
      parts.push_back(part);
    }
    at = end + 1;
  }
  std::string result;
  for (const std::string& part : parts) result += "/" + part;
  return result.empty() ? "/" : result;
}

bool read_whole_file(const std::string& path, std::string& bytes, FileFailure& failure) {
  std::FILE* stream = std::fopen(path.c_str(), "rb");
  if (stream == nullptr) {
    failure = failure_of(errno);
    return false;
  }
  char chunk[4096];
  for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, stream)) > 0;) {
    bytes.append(chunk, got);
  }
  const int error = std::ferror(stream) ? errno : 0;
  std::fclose(stream);
  if (error != 0) failure = failure_of(error);
  return error == 0;
}

// Only Windows virtualises files.
VirtualStore virtual_store() { return {}; }

bool read_file_at(const std::string& path, std::uint64_t offset, std::size_t size,
                  std::string& bytes, FileFailure& failure) {
  const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) {
    failure = failure_of(errno);
    return false;
  }
  std::string read(size, '\0');
  const ssize_t got = pread(file, read.data(), size, static_cast<off_t>(offset));
  const int error = errno;
  close(file);
  if (got != static_cast<ssize_t>(size)) {
    failure = failure_of(got < 0 ? error : EIO);
    return false;
  }
  bytes += read;
  return true;
}

std::string final_path(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return {};
  std::string result = resolved;
  std::free(resolved);
  return result;
}

#ifdef __linux__
std::string reach_linux(const std::string& linux_path) { return linux_path; }
std::string linux_path_of(const std::string& path) { return path; }
#else
std::string reach_linux(const std::string&) { return {}; }
std::string linux_path_of(const std::string&) { return {}; }
#endif

}  // namespace holsterkeys
