// Standard output, the program's only channel to the monitoring host.
#pragma once

#include <cstdio>
#include <string_view>

namespace poolmetrics {

// Held for every write to standard output. A run's deadline is kept by a
// watchdog thread that writes the run's last document and ends the process
// (and the RFC library's error callback does the same on the main thread):
// holding this lock, it writes its text whole, never inside a line of the
// run's. The lock is recursive, so a holder may print; it is never held
// while the RFC library has control. (output_lock_posix.cpp /
// output_lock_win32.cpp)
class OutputLock {
 public:
  OutputLock();
  ~OutputLock();
  OutputLock(const OutputLock&) = delete;
  OutputLock& operator=(const OutputLock&) = delete;
};

inline void Print(std::string_view text) {
  OutputLock lock;
  std::fwrite(text.data(), 1, text.size(), stdout);
}

inline void PrintLine(std::string_view text) {
  OutputLock lock;
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}

// Flushes standard output; false when anything printed did not reach it (a
// full disk, a closed pipe). Errors stick to the stream, so one check at the
// end covers every line printed before.
inline bool OutputDelivered() {
  OutputLock lock;
  return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

}  // namespace poolmetrics
