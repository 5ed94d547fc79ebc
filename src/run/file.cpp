#include "run/file.h"

#include <sys/stat.h>

namespace poolmetrics {

File File::OpenRead(const char* path) {
  File file(std::fopen(path, "rb"));
  // Some systems open a directory for reading and fail only on the first
  // read; a profile or hint that is a directory is simply not there.
  struct stat info;
  if (file && fstat(fileno(file.get()), &info) == 0 && S_ISDIR(info.st_mode)) file.reset();
  return file;
}

File File::OpenWrite(const char* path) { return File(std::fopen(path, "wb")); }

bool CanOpen(const char* path) { return static_cast<bool>(File::OpenRead(path)); }

}  // namespace poolmetrics
