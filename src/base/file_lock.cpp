#include "base/file_lock.h"

#include "base/own_file.h"

namespace poolmetrics {

// (Acquire, Lock and the release are platform code: file_lock_posix.cpp,
// file_lock_win32.cpp.)

FileLock FileLock::AcquireOwn(const std::string& path, const std::function<void()>& before_waiting,
                              std::string* why) {
  std::intptr_t handle = OpenOrMakeOwnFile(path, why);
  if (handle == kNone) return FileLock();
  FileLock lock = Lock(handle, before_waiting);
  if (!lock.held()) *why = "cannot be locked";
  return lock;
}

}  // namespace poolmetrics
