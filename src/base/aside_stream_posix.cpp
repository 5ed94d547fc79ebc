#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include "base/console.h"
#include "base/pipe_signal_posix.h"

namespace poolmetrics {

bool WriteAsideWithoutWaiting(std::string_view text) {
  // A reader that has gone would raise SIGPIPE, which ends the process.
  PipeSignalHeld held;
  bool written = true;
  while (!text.empty()) {
    // Writable now, and a piece no larger than PIPE_BUF: a pipe that polls
    // writable takes it whole without waiting.
    pollfd error{2, POLLOUT, 0};
    if (poll(&error, 1, 0) != 1 || (error.revents & POLLOUT) == 0) {
      written = false;
      break;
    }
    std::size_t piece = text.size() < PIPE_BUF ? text.size() : PIPE_BUF;
    ssize_t n = write(2, text.data(), piece);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      written = false;
      break;
    }
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return written;
}

}  // namespace poolmetrics

namespace poolmetrics {

void LetAsideLinesOut() {}  // every line was written, or dropped, as it came

std::FILE* MoveStandardOutputAside() {
  std::fflush(stdout);
  int document = dup(1);
  if (document < 0) return stdout;
  std::FILE* stream = fdopen(document, "w");
  if (!stream) {
    close(document);
    return stdout;
  }
  // The document's descriptor is not inherited by children, whose own
  // output goes where their parent says.
  fcntl(document, F_SETFD, FD_CLOEXEC);
  dup2(2, 1);
  return stream;
}

}  // namespace poolmetrics
