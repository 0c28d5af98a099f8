// Changes in one folder, as Windows signals them: a file made, removed,
// renamed, written or given other attributes. The window waits on the
// handle with its messages, so it costs nothing while nothing changes.
#pragma once

#include <windows.h>

#include <string>

namespace holsterkeys {

class FolderWatch {
 public:
  FolderWatch() = default;
  FolderWatch(const FolderWatch&) = delete;
  FolderWatch& operator=(const FolderWatch&) = delete;
  ~FolderWatch() { stop(); }

  // Watches `folder` instead of the folder watched so far; false where
  // Windows cannot watch it (a folder that is not there, some network
  // drives), and then nothing is watched.
  bool watch(const std::string& folder);

  // Signalled on a change; null while nothing is watched.
  HANDLE change() const { return change_; }
  // After a change, waits for the next one; false where Windows can no
  // longer watch the folder, as when it is gone.
  bool rearm() const;
  void stop();

  const std::string& folder() const { return folder_; }

 private:
  HANDLE change_ = nullptr;
  std::string folder_;
};

}  // namespace holsterkeys
