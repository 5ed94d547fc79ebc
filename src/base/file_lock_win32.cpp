#include <windows.h>

#include "base/file_lock.h"

namespace poolmetrics {

FileLock FileLock::Lock(std::intptr_t handle, const std::function<void()>& before_waiting) {
  FileLock lock;
  HANDLE file = reinterpret_cast<HANDLE>(handle);
  OVERLAPPED whole = {};
  bool held = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole);
  if (!held && GetLastError() == ERROR_LOCK_VIOLATION) {
    if (before_waiting) before_waiting();
    whole = OVERLAPPED{};
    held = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &whole);
  }
  if (!held) {
    CloseHandle(file);
    return lock;
  }
  lock.handle_ = handle;
  return lock;
}

FileLock FileLock::Acquire(const char* path, const std::function<void()>& before_waiting) {
  HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return FileLock();
  return Lock(reinterpret_cast<std::intptr_t>(file), before_waiting);
}

FileLock::~FileLock() {
  if (handle_ != kNone) CloseHandle(reinterpret_cast<HANDLE>(handle_));  // closing releases the lock
}

}  // namespace poolmetrics
