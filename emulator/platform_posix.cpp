#include <cerrno>
#include <ctime>

#include "platform.h"

namespace rfcemu {

void SleepMilliseconds(unsigned milliseconds) {
  timespec rest{static_cast<time_t>(milliseconds / 1000),
                static_cast<long>(milliseconds % 1000) * 1000000L};
  // Signals cut a sleep short; sleep the remainder.
  while (nanosleep(&rest, &rest) != 0 && errno == EINTR) {
  }
}

}  // namespace rfcemu
