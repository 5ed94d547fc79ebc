#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdint>
#include <vector>

#include "base/own_file.h"
#include "base/owned_handle_win32.h"
#include "base/text.h"

namespace poolmetrics {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The name by which the system reaches an open file (or folder), links
// resolved; empty when it cannot be told.
std::string FinalPath(HANDLE handle) {
  std::vector<char> path(MAX_PATH + 1);
  DWORD n = GetFinalPathNameByHandleA(handle, path.data(), static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED);
  if (n >= path.size()) {
    path.resize(n + 1);
    n = GetFinalPathNameByHandleA(handle, path.data(), static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED);
  }
  if (n == 0 || n >= path.size()) return {};
  return std::string(path.data(), n);
}

// Whether the open file is the one named `path` in its folder, not one
// that a link of that name leads to. Windows opens a link itself with
// FILE_FLAG_OPEN_REPARSE_POINT and says so in its attributes; Wine follows
// a Unix link to a file unseen, but names the file it reached by its own
// place.
bool ReachedByItsName(HANDLE handle, const std::string& path) {
  std::size_t split = path.find_last_of("\\/");
  std::string folder = split == std::string::npos ? "." : path.substr(0, split);
  std::string_view name = split == std::string::npos ? std::string_view(path) : From(path, split + 1);
  Handle folder_handle(CreateFileA(folder.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                   nullptr));
  if (folder_handle.get() == INVALID_HANDLE_VALUE) return false;
  std::string in_folder = FinalPath(folder_handle.get());
  std::string reached = FinalPath(handle);
  if (in_folder.empty() || reached.empty()) return false;
  if (in_folder.back() != '\\') in_folder += '\\';
  return EqualsIgnoringCase(reached, Concat({in_folder, name}));
}

// Opens `path` with `access`, never a link itself nor what it leads to.
// INVALID_HANDLE_VALUE with `why` empty when nothing has the name.
HANDLE OpenOwn(const std::string& path, DWORD access, std::string* why) {
  why->clear();
  Handle handle(CreateFileA(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT,
                            nullptr));
  if (handle.get() == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) *why = "cannot be opened";
    return INVALID_HANDLE_VALUE;
  }
  *why = OwnFileFault(reinterpret_cast<std::intptr_t>(handle.get()), path);
  return why->empty() ? handle.release() : INVALID_HANDLE_VALUE;
}

File StreamOf(Handle& handle, int flags, const char* mode) {
  int fd = _open_osfhandle(reinterpret_cast<std::intptr_t>(handle.get()), flags | _O_BINARY);
  if (fd < 0) return File();
  handle.release();  // the descriptor owns it now
  std::FILE* stream = _fdopen(fd, mode);
  if (!stream) {
    _close(fd);
    return File();
  }
  return File(stream);
}

}  // namespace

std::string OwnFileFault(std::intptr_t handle, const std::string& path) {
  HANDLE file = reinterpret_cast<HANDLE>(handle);
  FILE_BASIC_INFO basic;
  FILE_STANDARD_INFO standard;
  if (!GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic) ||
      !GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard))
    return "cannot be read";
  if (basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return "is a link";
  if (standard.Directory || GetFileType(file) != FILE_TYPE_DISK) return "is no plain file";
  if (standard.NumberOfLinks != 1) return "is a hard link";
  if (!ReachedByItsName(file, path)) return "is a link";
  return {};
}

File OpenOwnFile(const std::string& path, std::string* why) {
  Handle handle(OpenOwn(path, GENERIC_READ, why));
  if (handle.get() == INVALID_HANDLE_VALUE) return File();
  File file = StreamOf(handle, _O_RDONLY, "rb");
  // Every reader takes whole pieces into its own buffer.
  if (file) std::setvbuf(file.get(), nullptr, _IONBF, 0);
  return file;
}

std::intptr_t OpenOrMakeOwnFile(const std::string& path, std::string* why) {
  why->clear();
  // CREATE_NEW makes it new or fails, a link of that name included (under
  // OPEN_ALWAYS a dangling one would make what it leads to); an existing
  // one is opened as itself, not what a link leads to, and looked at.
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) return reinterpret_cast<std::intptr_t>(file);
  if (GetLastError() != ERROR_FILE_EXISTS) {
    *why = "cannot be opened";
    return -1;
  }
  file = OpenOwn(path, GENERIC_READ | GENERIC_WRITE, why);
  // A name that is there but leads nowhere is a link.
  if (file == INVALID_HANDLE_VALUE && why->empty()) *why = "is a link";
  return file == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<std::intptr_t>(file);
}

File CreateOwnFile(const std::string& path, std::string* why) {
  why->clear();
  // CREATE_NEW makes a new file or fails: it never opens what a link of
  // that name leads to.
  auto create = [&] {
    return CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  HANDLE made = create();
  if (made == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS) {
    // An own plain file is a leftover: it goes through its own handle, so
    // nothing else can.
    Handle left(OpenOwn(path, DELETE | FILE_READ_ATTRIBUTES, why));
    if (left.get() == INVALID_HANDLE_VALUE) {
      // A name that is there but leads nowhere is a link.
      if (why->empty()) *why = "is a link";
      return File();
    }
    FILE_DISPOSITION_INFO gone{TRUE};
    bool removed = SetFileInformationByHandle(left.get(), FileDispositionInfo, &gone, sizeof gone);
    CloseHandle(left.release());
    if (removed) made = create();
  }
  Handle handle(made);
  if (handle.get() == INVALID_HANDLE_VALUE) {
    *why = "cannot be made";
    return File();
  }
  return StreamOf(handle, _O_WRONLY, "wb");
}

void RemoveOwnFile(const std::string& path, long seconds) {
  std::string why;
  Handle handle(OpenOwn(path, DELETE | FILE_READ_ATTRIBUTES, &why));
  FILE_BASIC_INFO basic;
  if (handle.get() == INVALID_HANDLE_VALUE ||
      !GetFileInformationByHandleEx(handle.get(), FileBasicInfo, &basic, sizeof basic))
    return;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const std::uint64_t ticks = (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  const std::uint64_t limit = static_cast<std::uint64_t>(seconds) * 10000000u;  // in 100 ns
  if (seconds >= 0 && ticks < static_cast<std::uint64_t>(basic.LastWriteTime.QuadPart) + limit) return;
  // Through the handle that was looked at: the file removed is the one that
  // was checked, whatever its name leads to now.
  FILE_DISPOSITION_INFO gone{TRUE};
  SetFileInformationByHandle(handle.get(), FileDispositionInfo, &gone, sizeof gone);
}

}  // namespace poolmetrics
