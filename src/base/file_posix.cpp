#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/file.h"
#include "base/owned_descriptor_posix.h"

namespace poolmetrics {
namespace {

bool IsRegular(const struct stat& info) { return S_ISREG(info.st_mode); }

}  // namespace

File File::OpenRead(const char* path) {
  // Only a regular file is read. A FIFO without a writer, a terminal or a
  // device would block the open or the first read, and a directory reads as
  // nothing: each counts as a file that is not there. The name is looked at
  // first, so that no device is ever opened (some act on an open); the
  // descriptor is looked at again in case the name changed in between, and
  // O_NONBLOCK keeps even that open from waiting.
  struct stat info;
  if (stat(path, &info) != 0 || !IsRegular(info)) return File();
  Descriptor fd(open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.get() < 0 || fstat(fd.get(), &info) != 0 || !IsRegular(info)) return File();
  std::FILE* stream = fdopen(fd.get(), "rb");
  if (!stream) return File();
  fd.release();
  // Every reader takes whole pieces into its own buffer: a stream buffer
  // would only be a second copy, and a page more for every file read.
  std::setvbuf(stream, nullptr, _IONBF, 0);
  return File(stream);
}

File File::CreateNew(const char* path) {
  Descriptor fd(open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0644));
  if (fd.get() < 0) return File();
  std::FILE* stream = fdopen(fd.get(), "wb");
  if (!stream) return File();
  fd.release();
  return File(stream);
}

}  // namespace poolmetrics
