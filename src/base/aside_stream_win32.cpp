#include <windows.h>

#include <string>

#include "base/console.h"

namespace poolmetrics {

bool WriteAsideWithoutWaiting(std::string_view text) {
  HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if (!error || error == INVALID_HANDLE_VALUE) return false;
  // A pipe is switched to writes that never wait (once: the switch holds for
  // the handle): a write then takes what fits and returns.
  static bool pipe_checked = false;
  if (!pipe_checked) {
    pipe_checked = true;
    if (GetFileType(error) == FILE_TYPE_PIPE) {
      DWORD mode = PIPE_READMODE_BYTE | PIPE_NOWAIT;
      SetNamedPipeHandleState(error, &mode, nullptr, nullptr);
    }
  }
  // Line ends as the text mode of standard output writes them.
  std::string lines;
  for (char c : text) {
    if (c == '\n') lines += '\r';
    lines += c;
  }
  std::string_view rest = lines;
  while (!rest.empty()) {
    DWORD n = 0;
    if (!WriteFile(error, rest.data(), static_cast<DWORD>(rest.size()), &n, nullptr) || n == 0) return false;
    rest.remove_prefix(n);
  }
  return true;
}

}  // namespace poolmetrics

namespace poolmetrics {

std::FILE* MoveStandardOutputAside() {
  // The program's own C runtime keeps the handle it took at start-up; an RFC
  // library with a C runtime of its own takes its standard output from the
  // process's handle when it is loaded, which is later.
  HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if (error && error != INVALID_HANDLE_VALUE) SetStdHandle(STD_OUTPUT_HANDLE, error);
  return stdout;
}

}  // namespace poolmetrics
