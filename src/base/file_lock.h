// FileLock: an exclusive operating-system lock on a file, held by its owner
// and released when the owner goes (or the process ends).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace poolmetrics {

class FileLock {
 public:
  FileLock() = default;
  FileLock(FileLock&& other) noexcept : handle_(other.handle_) { other.handle_ = kNone; }
  FileLock& operator=(FileLock&&) = delete;
  FileLock(const FileLock&) = delete;
  ~FileLock();

  // Waits until the lock on `path` (created when missing) is ours; when
  // another holds it, `before_waiting` (if any) is told first. A lock that
  // cannot be had (read-only directory) is not held: the run goes on
  // unprotected rather than not at all.
  static FileLock Acquire(const char* path, const std::function<void()>& before_waiting = {});
  // The same for the lock file `path` of a private folder (own_file.h): made
  // new, or opened, without following a link, and used only when it is one
  // of the folder's own plain files. Else the lock is not held and `why`
  // says why ("is a link", ..., "cannot be opened").
  static FileLock AcquireOwn(const std::string& path, const std::function<void()>& before_waiting,
                             std::string* why);

  bool held() const { return handle_ != kNone; }

 private:
  static constexpr std::intptr_t kNone = -1;
  // Waits for the lock on the open file `handle`, which it then owns.
  static FileLock Lock(std::intptr_t handle, const std::function<void()>& before_waiting);
  std::intptr_t handle_ = kNone;
};

}  // namespace poolmetrics
