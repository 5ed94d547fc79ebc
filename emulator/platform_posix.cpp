#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <ctime>

#include "platform.h"

namespace rfcemu {

void SleepMilliseconds(unsigned milliseconds) {
  timespec rest{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
  // Signals cut a sleep short; sleep the remainder.
  while (nanosleep(&rest, &rest) != 0 && errno == EINTR) {
  }
}

void EndProcessAbruptly(int status) { _exit(status); }

bool FileStamp(const char* path, long long* size, long long* modified) {
  struct stat info;
  if (stat(path, &info) != 0) return false;
  *size = static_cast<long long>(info.st_size);
  *modified = static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec;
  return true;
}

void AppendToFile(const char* path, std::string_view text) {
  // One write() to a file opened for appending lands whole at the end.
  const int file = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (file < 0) return;
  while (!text.empty()) {
    const ssize_t written = write(file, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) break;
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  close(file);
}

}  // namespace rfcemu
