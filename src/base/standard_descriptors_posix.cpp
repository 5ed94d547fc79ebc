#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include "base/standard_descriptors.h"

namespace poolmetrics {

void EnsureStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free number: this one, as those below it are open.
    int null = open("/dev/null", O_RDWR);
    if (null >= 0 && null != fd) {
      dup2(null, fd);
      close(null);
    }
  }
}

}  // namespace poolmetrics
