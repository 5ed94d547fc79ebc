#include <windows.h>

#include "platform.h"

namespace rfcemu {

void SleepMilliseconds(unsigned milliseconds) { Sleep(milliseconds); }

void EndProcessAbruptly(int status) {
  // What "taskkill /F" does from outside.
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
  for (;;) Sleep(INFINITE);
}

bool FileStamp(const char* path, long long* size, long long* modified) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return false;
  *size = static_cast<long long>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
  *modified = static_cast<long long>(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
  return true;
}

void AppendToFile(const char* path, std::string_view text) {
  // Appending is not one step on Windows, nor under Wine, even with
  // FILE_APPEND_DATA: the C runtime's "a" mode seeks to the end and then
  // writes, and two processes doing so overwrite each other's lines. A lock
  // on the whole file makes "find the end, write" one step for every writer.
  HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  OVERLAPPED whole{};
  if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
    LARGE_INTEGER end{};
    if (SetFilePointerEx(file, end, nullptr, FILE_END)) {
      while (!text.empty()) {
        const DWORD chunk = text.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(text.size());
        DWORD written = 0;
        if (!WriteFile(file, text.data(), chunk, &written, nullptr) || written == 0) break;
        text.remove_prefix(written);
      }
    }
    UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &whole);
  }
  CloseHandle(file);
}

}  // namespace rfcemu
