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

}  // namespace rfcemu
