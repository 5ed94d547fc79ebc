// FileLock: an exclusive operating-system lock on a file, held by its owner
// and released when the owner goes (or the process ends).
#pragma once

#include <cstdint>
#include <functional>

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

  bool held() const { return handle_ != kNone; }

 private:
  static constexpr std::intptr_t kNone = -1;
  std::intptr_t handle_ = kNone;
};

}  // namespace poolmetrics
