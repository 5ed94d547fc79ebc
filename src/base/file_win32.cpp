#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdint>

#include "base/device_name.h"
#include "base/file.h"
#include "base/owned_handle_win32.h"

namespace poolmetrics {
namespace {

// A file on a disk (a share included), not a directory. Only the standard
// information is asked for: GetFileInformationByHandle also asks the volume
// for its serial number, which under Wine is a round trip to its mount
// manager for every file opened (doc/costs.md).
bool IsDiskFile(HANDLE handle) {
  FILE_STANDARD_INFO info;
  return GetFileType(handle) == FILE_TYPE_DISK &&
         GetFileInformationByHandleEx(handle, FileStandardInfo, &info, sizeof info) && !info.Directory;
}

}  // namespace

File File::OpenRead(const char* path) {
  // Only a file on a disk is read. A device name (AUX, COM1, CON, ...) names
  // a device in every directory, and opening or reading one can wait forever:
  // it is refused by its name, before any open. What is opened must then be
  // a disk file; a pipe, a device reached another way or a directory counts
  // as a file that is not there.
  if (NamesDevice(path)) return File();
  Handle handle(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (handle.get() == INVALID_HANDLE_VALUE || !IsDiskFile(handle.get())) return File();
  int fd = _open_osfhandle(reinterpret_cast<std::intptr_t>(handle.get()), _O_RDONLY | _O_BINARY);
  if (fd < 0) return File();
  handle.release();  // the descriptor owns it now
  std::FILE* stream = _fdopen(fd, "rb");
  if (!stream) {
    _close(fd);
    return File();
  }
  // Every reader takes whole pieces into its own buffer: a stream buffer
  // would only be a second copy.
  std::setvbuf(stream, nullptr, _IONBF, 0);
  return File(stream);
}

File File::CreateNew(const char* path) {
  if (NamesDevice(path)) return File();
  Handle handle(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (handle.get() == INVALID_HANDLE_VALUE) return File();
  int fd = _open_osfhandle(reinterpret_cast<std::intptr_t>(handle.get()), _O_WRONLY | _O_BINARY);
  if (fd < 0) return File();
  handle.release();  // the descriptor owns it now
  std::FILE* stream = _fdopen(fd, "wb");
  if (!stream) {
    _close(fd);
    return File();
  }
  return File(stream);
}

}  // namespace poolmetrics
