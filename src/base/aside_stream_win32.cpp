#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <string>

#include "base/console.h"

namespace poolmetrics {
namespace {

// A write to a pipe that nobody reads blocks, and Windows offers no write
// to an inherited pipe that returns instead (Wine ignores PIPE_NOWAIT on
// one). So standard error is written by a thread of its own: the run only
// queues its lines, and what the queue cannot take, or what the thread
// still holds when the process ends, is dropped.
constexpr std::size_t kQueueLimit = 256 * 1024;
constexpr DWORD kLastWordsMilliseconds = 100;  // the most the process's end waits for them

SRWLOCK g_lock = SRWLOCK_INIT;
std::string* g_queue = nullptr;  // made with the thread
bool g_writing = false;          // the thread holds lines it has not written yet
HANDLE g_wake = nullptr;         // the queue has lines
HANDLE g_idle = nullptr;         // the thread has written all it was given

DWORD WINAPI WriteQueued(LPVOID) {
  HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  std::string lines;
  for (;;) {
    WaitForSingleObject(g_wake, INFINITE);
    AcquireSRWLockExclusive(&g_lock);
    lines.swap(*g_queue);
    g_queue->clear();
    g_writing = !lines.empty();
    ResetEvent(g_idle);
    ReleaseSRWLockExclusive(&g_lock);
    std::string_view rest = lines;
    while (!rest.empty()) {
      DWORD n = 0;
      if (!WriteFile(error, rest.data(), static_cast<DWORD>(rest.size()), &n, nullptr) || n == 0) break;
      rest.remove_prefix(n);
    }
    AcquireSRWLockExclusive(&g_lock);
    g_writing = false;
    if (g_queue->empty()) SetEvent(g_idle);
    ReleaseSRWLockExclusive(&g_lock);
  }
}

bool StartWriter() {
  if (g_queue) return true;
  HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if (!error || error == INVALID_HANDLE_VALUE) return false;
  g_wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  g_idle = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  if (!g_wake || !g_idle) return false;
  g_queue = new std::string;  // lives as long as the process
  HANDLE thread = CreateThread(nullptr, 64 * 1024, &WriteQueued, nullptr, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (!thread) return false;
  CloseHandle(thread);
  return true;
}

}  // namespace

bool WriteAsideWithoutWaiting(std::string_view text) {
  // Line ends as the text mode of standard output writes them.
  std::string lines;
  for (char c : text) {
    if (c == '\n') lines += '\r';
    lines += c;
  }
  AcquireSRWLockExclusive(&g_lock);
  bool started = StartWriter();
  bool queued = started && g_queue->size() + lines.size() <= kQueueLimit;
  if (queued) {
    *g_queue += lines;
    ResetEvent(g_idle);
    SetEvent(g_wake);
  }
  ReleaseSRWLockExclusive(&g_lock);
  return queued;
}

void LetAsideLinesOut() {
  AcquireSRWLockExclusive(&g_lock);
  HANDLE idle = g_queue ? g_idle : nullptr;
  ReleaseSRWLockExclusive(&g_lock);
  if (idle) WaitForSingleObject(idle, kLastWordsMilliseconds);
}

std::FILE* MoveStandardOutputAside() {
  std::fflush(stdout);
  // An RFC library built against the C runtime this program uses (a mingw
  // DLL and msvcrt.dll) shares its descriptor 1 and its stdout buffer with
  // the program: what it prints would stand in that buffer before the
  // document. So the document gets a descriptor and a stream of its own, and
  // descriptor 1 then writes to standard error, for the program's stdout and
  // every such library alike.
  std::FILE* document = stdout;
  int kept = _dup(1);
  if (kept >= 0) {
    // Text mode, as standard output's; not inherited by children, whose own
    // output goes where their parent says.
    _setmode(kept, _O_TEXT);
    SetHandleInformation(reinterpret_cast<HANDLE>(_get_osfhandle(kept)), HANDLE_FLAG_INHERIT, 0);
    std::FILE* stream = _fdopen(kept, "w");
    if (stream && _dup2(2, 1) == 0)
      document = stream;
    else if (stream)
      std::fclose(stream);
    else
      _close(kept);
  }
  // A library with a C runtime of its own takes its standard output from the
  // process's handle when it is loaded, which is later.
  HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if (error && error != INVALID_HANDLE_VALUE) SetStdHandle(STD_OUTPUT_HANDLE, error);
  return document;
}

}  // namespace poolmetrics
