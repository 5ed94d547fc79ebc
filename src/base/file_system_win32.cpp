#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "base/file_system.h"

namespace poolmetrics {
namespace {

std::optional<FileIdentity> IdentityOfHandle(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info;
  if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &info)) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber,
                      (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

}  // namespace

std::optional<FileIdentity> IdentityOf(std::FILE* file) {
  if (!file) return std::nullopt;
  return IdentityOfHandle(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))));
}

std::optional<FileIdentity> IdentityOf(const char* path) {
  // No access asked for: the file may be open and locked by anyone, and
  // opening it so neither blocks nor disturbs them. Directories need the
  // backup flag to be opened at all.
  HANDLE handle = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<FileIdentity> identity = IdentityOfHandle(handle);
  CloseHandle(handle);
  return identity;
}

bool MoveFileOver(const char* from, const char* to) {
  // Windows will not replace a file that anyone holds open, if only for a
  // moment: a virus scanner, or another run telling whether its destination
  // file is this one. Such a moment passes; a directory in the way does not.
  constexpr int kAttempts = 100;
  constexpr DWORD kPauseMs = 10;
  for (int attempt = 1;; ++attempt) {
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING)) return true;
    DWORD error = GetLastError();
    DWORD attributes = GetFileAttributesA(to);
    bool held = (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) &&
                attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (!held || attempt == kAttempts) return false;
    Sleep(kPauseMs);
  }
}

void UseBinaryMode(std::FILE* stream) { _setmode(_fileno(stream), _O_BINARY); }

std::string WorkingDirectory() {
  char path[MAX_PATH + 1];
  DWORD n = GetCurrentDirectoryA(sizeof path, path);
  if (n == 0 || n >= sizeof path) return {};
  std::string directory(path, n);
  return directory.back() == '\\' ? directory : directory + "\\";
}

}  // namespace poolmetrics
