#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "base/own_file.h"
#include "base/owned_descriptor_posix.h"

namespace poolmetrics {
namespace {

// Opens the own plain file `path` with `flags`. The name is looked at
// first, so that no device or FIFO is ever opened; the open follows no link
// and cannot block, and the descriptor is looked at again in case the name
// changed in between. -1 with `why` empty when nothing has the name.
int OpenOwn(const std::string& path, int flags, std::string* why) {
  why->clear();
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) {
    if (errno != ENOENT) *why = "cannot be read";
    return -1;
  }
  if (S_ISLNK(info.st_mode)) {
    *why = "is a link";
    return -1;
  }
  if (!S_ISREG(info.st_mode)) {
    *why = "is no plain file";
    return -1;
  }
  Descriptor fd(open(path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.get() < 0) {
    if (errno == ELOOP) *why = "is a link";
    else if (errno != ENOENT) *why = "cannot be opened";
    return -1;
  }
  *why = OwnFileFault(fd.get(), path);
  return why->empty() ? fd.release() : -1;
}

File StreamOf(Descriptor& fd, const char* mode) {
  std::FILE* stream = fdopen(fd.get(), mode);
  if (!stream) return File();
  fd.release();
  return File(stream);
}

}  // namespace

std::string OwnFileFault(std::intptr_t handle, const std::string&) {
  struct stat info;
  if (fstat(static_cast<int>(handle), &info) != 0) return "cannot be read";
  if (!S_ISREG(info.st_mode)) return "is no plain file";
  if (info.st_nlink != 1) return "is a hard link";
  if (info.st_uid != geteuid()) return "belongs to another user";
  return {};
}

File OpenOwnFile(const std::string& path, std::string* why) {
  Descriptor fd(OpenOwn(path, O_RDONLY, why));
  if (fd.get() < 0) return File();
  File file = StreamOf(fd, "rb");
  // Every reader takes whole pieces into its own buffer.
  if (file) std::setvbuf(file.get(), nullptr, _IONBF, 0);
  return file;
}

std::intptr_t OpenOrMakeOwnFile(const std::string& path, std::string* why) {
  why->clear();
  // O_EXCL makes it new or fails, a link of that name included; an existing
  // one is looked at before it is opened.
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600);
  if (fd >= 0) fchmod(fd, 0600);  // see CreateOwnFile
  if (fd < 0 && errno == EEXIST) {
    fd = OpenOwn(path, O_RDWR, why);
    if (fd < 0 && why->empty()) *why = "cannot be opened";  // gone meanwhile
  } else if (fd < 0) {
    *why = "cannot be opened";
  }
  return fd;
}

File CreateOwnFile(const std::string& path, std::string* why) {
  why->clear();
  constexpr int kFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC;
  int made = open(path.c_str(), kFlags, 0600);
  if (made < 0 && errno == EEXIST) {
    // O_EXCL refuses a link of that name too, wherever it leads. An own
    // plain file is a leftover: removing its name touches nothing else.
    Descriptor left(OpenOwn(path, O_RDONLY, why));
    if (left.get() < 0) {
      if (why->empty()) *why = "cannot be made";
      return File();
    }
    if (unlink(path.c_str()) == 0) made = open(path.c_str(), kFlags, 0600);
  }
  Descriptor fd(made);
  if (fd.get() < 0) {
    *why = "cannot be made";
    return File();
  }
  // A umask may have taken the owner's own reading or writing away; the
  // file is the owner's to read and write again, as its readers expect.
  fchmod(fd.get(), 0600);
  return StreamOf(fd, "wb");
}

void RemoveOwnFile(const std::string& path, long seconds) {
  std::string why;
  Descriptor fd(OpenOwn(path, O_RDONLY, &why));
  struct stat info;
  if (fd.get() < 0 || fstat(fd.get(), &info) != 0) return;
  if (seconds >= 0 && time(nullptr) - info.st_mtime <= seconds) return;
  unlink(path.c_str());
}

}  // namespace poolmetrics
