#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include "base/terminal.h"

namespace poolmetrics {
namespace {

// The terminal's settings before the typing was hidden, for the signal
// handler, which may only restore them and end the process.
struct termios g_shown;
struct sigaction g_previous_int, g_previous_term, g_previous_hup;

extern "C" void RestoreAndEnd(int signal_number) {
  tcsetattr(STDIN_FILENO, TCSANOW, &g_shown);
  // The process ends as the signal would have ended it without us.
  const struct sigaction* previous = signal_number == SIGINT    ? &g_previous_int
                                     : signal_number == SIGTERM ? &g_previous_term
                                                                : &g_previous_hup;
  sigaction(signal_number, previous, nullptr);
  raise(signal_number);
}

}  // namespace

bool InputIsTerminal() { return isatty(STDIN_FILENO) == 1; }

HiddenTyping::HiddenTyping() {
  if (!InputIsTerminal() || tcgetattr(STDIN_FILENO, &g_shown) != 0) return;
  struct sigaction restore {};
  restore.sa_handler = &RestoreAndEnd;
  sigemptyset(&restore.sa_mask);
  sigaction(SIGINT, &restore, &g_previous_int);
  sigaction(SIGTERM, &restore, &g_previous_term);
  sigaction(SIGHUP, &restore, &g_previous_hup);
  struct termios hidden = g_shown;
  hidden.c_lflag &= static_cast<tcflag_t>(~ECHO);
  hidden.c_lflag |= ECHONL;  // the line end is still shown
  hidden_ = tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden) == 0;
  if (!hidden_) {
    sigaction(SIGINT, &g_previous_int, nullptr);
    sigaction(SIGTERM, &g_previous_term, nullptr);
    sigaction(SIGHUP, &g_previous_hup, nullptr);
  }
}

HiddenTyping::~HiddenTyping() {
  if (!hidden_) return;
  tcsetattr(STDIN_FILENO, TCSANOW, &g_shown);
  sigaction(SIGINT, &g_previous_int, nullptr);
  sigaction(SIGTERM, &g_previous_term, nullptr);
  sigaction(SIGHUP, &g_previous_hup, nullptr);
}

}  // namespace poolmetrics
