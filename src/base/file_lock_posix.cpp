#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include "base/file_lock.h"

namespace poolmetrics {

FileLock FileLock::Lock(std::intptr_t handle, const std::function<void()>& before_waiting) {
  FileLock lock;
  int fd = static_cast<int>(handle);
  struct flock request = {};
  request.l_type = F_WRLCK;
  request.l_whence = SEEK_SET;
  if (fcntl(fd, F_SETLK, &request) == 0) {
    lock.handle_ = fd;
    return lock;
  }
  if (before_waiting) before_waiting();
  while (fcntl(fd, F_SETLKW, &request) != 0) {
    if (errno != EINTR) {
      close(fd);
      return lock;
    }
  }
  lock.handle_ = fd;
  return lock;
}

FileLock FileLock::Acquire(const char* path, const std::function<void()>& before_waiting) {
  int fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return FileLock();
  return Lock(fd, before_waiting);
}

FileLock::~FileLock() {
  if (handle_ != kNone) close(static_cast<int>(handle_));  // closing releases the lock
}

}  // namespace poolmetrics
