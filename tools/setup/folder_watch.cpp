#include "tools/setup/folder_watch.h"

namespace holsterkeys {

bool FolderWatch::watch(const std::string& folder) {
  stop();
  const HANDLE change = FindFirstChangeNotificationA(
      folder.c_str(), FALSE,
      FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_ATTRIBUTES |
          FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
  if (change == INVALID_HANDLE_VALUE) return false;
  change_ = change;
  folder_ = folder;
  return true;
}

bool FolderWatch::rearm() const {
  return change_ != nullptr && FindNextChangeNotification(change_);
}

void FolderWatch::stop() {
  if (change_ != nullptr) FindCloseChangeNotification(change_);
  change_ = nullptr;
  folder_.clear();
}

}  // namespace holsterkeys
