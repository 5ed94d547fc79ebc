// Writes to a pipe whose reader may be gone (a child that ended, a closed
// standard error): such a write raises SIGPIPE, which would end the
// process. Used by the POSIX platform files only.
#pragma once

#include <signal.h>
#include <time.h>

namespace poolmetrics {

// Holds SIGPIPE back for this thread while it lives, and takes away one that
// a write raised meanwhile.
class PipeSignalHeld {
 public:
  PipeSignalHeld() {
    sigemptyset(&pipe_signal_);
    sigaddset(&pipe_signal_, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe_signal_, &previous_);
  }
  ~PipeSignalHeld() {
    timespec none{0, 0};
    while (sigtimedwait(&pipe_signal_, nullptr, &none) > 0) {
    }
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }
  PipeSignalHeld(const PipeSignalHeld&) = delete;
  PipeSignalHeld& operator=(const PipeSignalHeld&) = delete;

 private:
  sigset_t pipe_signal_, previous_;
};

}  // namespace poolmetrics
