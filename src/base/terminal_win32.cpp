#include <windows.h>

#include "base/terminal.h"

namespace poolmetrics {
namespace {

// The console's input mode before the typing was hidden, for the Ctrl-C
// handler, which runs on a thread of its own while the main thread waits
// for the line.
HANDLE g_input = INVALID_HANDLE_VALUE;
DWORD g_shown = 0;

BOOL WINAPI RestoreOnBreak(DWORD) {
  SetConsoleMode(g_input, g_shown);
  return FALSE;  // the default handler ends the process
}

}  // namespace

bool InputIsTerminal() {
  DWORD mode;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

HiddenTyping::HiddenTyping() {
  g_input = GetStdHandle(STD_INPUT_HANDLE);
  if (!GetConsoleMode(g_input, &g_shown)) return;
  SetConsoleCtrlHandler(&RestoreOnBreak, TRUE);
  hidden_ = SetConsoleMode(g_input, g_shown & ~static_cast<DWORD>(ENABLE_ECHO_INPUT)) != 0;
  if (!hidden_) SetConsoleCtrlHandler(&RestoreOnBreak, FALSE);
}

HiddenTyping::~HiddenTyping() {
  if (!hidden_) return;
  SetConsoleMode(g_input, g_shown);
  SetConsoleCtrlHandler(&RestoreOnBreak, FALSE);
  // The console does not show the line end of hidden typing.
  HANDLE output = GetStdHandle(STD_ERROR_HANDLE);
  DWORD written;
  WriteFile(output, "\r\n", 2, &written, nullptr);
}

}  // namespace poolmetrics
