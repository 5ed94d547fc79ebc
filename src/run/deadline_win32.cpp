#include <windows.h>

#include <cstdlib>

#include "run/deadline.h"

namespace poolmetrics {
namespace watchdog_platform {
namespace {

DWORD WINAPI Run(LPVOID body) {
  const ThreadBody& run = *static_cast<const ThreadBody*>(body);
  run.function(run.argument);
  return 0;
}

}  // namespace

bool StartThread(const ThreadBody& body) {
  // The watchdog needs little stack; reserving a small one keeps the run's
  // address space small in the 32-bit program.
  HANDLE thread = CreateThread(nullptr, 256 * 1024, &Run, const_cast<ThreadBody*>(&body),
                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
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
