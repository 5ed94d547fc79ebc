#include <windows.h>

#include <cstdlib>

#include "run/deadline.h"

namespace poolmetrics {
namespace watchdog_platform {
namespace {

void (*g_body)() = nullptr;

DWORD WINAPI Run(LPVOID) {
  g_body();
  return 0;
}

}  // namespace

bool StartThread(void (*body)()) {
  g_body = body;
  // The watchdog needs little stack; reserving a small one keeps the run's
  // address space small in the 32-bit program.
  HANDLE thread = CreateThread(nullptr, 256 * 1024, &Run, nullptr, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (!thread) return false;
  CloseHandle(thread);  // nobody waits for it
  return true;
}

void SleepMilliseconds(unsigned milliseconds) { Sleep(milliseconds); }

void EndProcess(int status) {
  // Not ExitProcess: it would call the RFC library's DLL detach routine while
  // the main thread may be inside the library, holding its locks.
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
  std::_Exit(status);
}

}  // namespace watchdog_platform
}  // namespace poolmetrics
