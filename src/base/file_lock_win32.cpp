#include <windows.h>

#include "base/file_lock.h"
#include "base/own_file.h"

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

FileLock FileLock::AcquireOwn(const std::string& path, const std::function<void()>& before_waiting,
                              std::string* why) {
  why->clear();
  // CREATE_NEW makes it new or fails, a link of that name included (it
  // would create what a dangling one leads to under OPEN_ALWAYS); an
  // existing one is opened as itself, not what a link leads to, and then
  // looked at.
  auto open = [&](DWORD how) {
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, how,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  };
  HANDLE file = open(CREATE_NEW);
  if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS) {
    file = open(OPEN_EXISTING);
    // A name that is there but leads nowhere is a link.
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND) {
      *why = "is a link";
      return FileLock();
    }
  }
  if (file == INVALID_HANDLE_VALUE) {
    *why = "cannot be opened";
    return FileLock();
  }
  *why = OwnFileFault(reinterpret_cast<std::intptr_t>(file), path);
  if (!why->empty()) {
    CloseHandle(file);
    return FileLock();
  }
  FileLock lock = Lock(reinterpret_cast<std::intptr_t>(file), before_waiting);
  if (!lock.held()) *why = "cannot be locked";
  return lock;
}

FileLock::~FileLock() {
  if (handle_ != kNone) CloseHandle(reinterpret_cast<HANDLE>(handle_));  // closing releases the lock
}

}  // namespace poolmetrics
