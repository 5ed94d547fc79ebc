// Standard input as a person at a terminal (a Windows console) gives it:
// whether one is there, and typing that is not shown, for a password.
// (terminal_posix.cpp, terminal_win32.cpp)
#pragma once

namespace poolmetrics {

// True when standard input is a terminal or a Windows console, false for a
// pipe, a file or the null device.
bool InputIsTerminal();

// While it lives, what is typed on the terminal of standard input is not
// shown; the line end still is, so the next line starts on its own line.
// When it goes, the terminal is as it was before, also when the process is
// ended by Ctrl-C while it lives. Without a terminal it does nothing. One at
// a time.
class HiddenTyping {
 public:
  HiddenTyping();
  ~HiddenTyping();
  HiddenTyping(const HiddenTyping&) = delete;
  HiddenTyping& operator=(const HiddenTyping&) = delete;

 private:
  bool hidden_ = false;
};

}  // namespace poolmetrics
