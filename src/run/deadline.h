// Deadlines: a run answers in time, whatever the SAP system does. A vendor
// call that blocks cannot be cancelled, so the deadline is kept by a
// watchdog thread: when it passes, the watchdog takes the output lock (which
// every write of the run takes, see base/console.h), has the run's current
// handler write the run's last document whole, and ends the process. This
// and the RFC library's error callback are the only places that end the
// process themselves.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "output/caller_mode.h"

namespace poolmetrics {

using Clock = std::chrono::steady_clock;

// The PRTG modes answer before PRTG's default sensor timeout of 60 s.
constexpr unsigned kPrtgModeTimeoutSeconds = 50;

// The run's time limit in seconds: "TIMEOUT=n", else 50 s in the PRTG
// modes; the line modes have none.
std::optional<unsigned> RunTimeoutSeconds(std::optional<unsigned> timeout, CallerMode mode);

// What a run says when its deadline passes.
class DeadlineHandler {
 public:
  virtual ~DeadlineHandler() = default;
  // Called on the watchdog's thread with the output lock held; the main
  // thread may be anywhere (blocked inside the RFC library, say) but never
  // holds that lock. Writes the run's last document and returns the exit
  // status.
  virtual int WriteLastWords() = 0;
};

// Starts the watchdog, once per process: when `deadline` passes, it asks the
// current handler for the run's last words and ends the process with their
// status. False when no thread could be started (the run then has no
// deadline).
bool StartWatchdog(Clock::time_point deadline, DeadlineHandler* handler);

// Hands the deadline to another handler (a global run's loop, say).
void SetDeadlineHandler(DeadlineHandler* handler);

// The run's outcome is decided: from now on the deadline passes unnoticed.
// Should it have passed a moment ago, the watchdog is writing, and the
// process ends here.
void SettleDeadline();

// Settles the deadline when it goes out of scope: declared after the
// handlers it guards, no watchdog ever asks one that is gone.
class DeadlineSettler {
 public:
  DeadlineSettler() = default;
  ~DeadlineSettler() { SettleDeadline(); }
  DeadlineSettler(const DeadlineSettler&) = delete;
  DeadlineSettler& operator=(const DeadlineSettler&) = delete;
};

// The steps of a system's query that a deadline can interrupt.
enum class QueryStep { kLogon, kCall };

// The step the run is in and the system it concerns: marked by the main
// thread as it goes, read at the deadline for message 1033.
void MarkQueryStep(QueryStep step, std::string_view system);

// "Error 1033: Timeout after 2 s in the logon to PRD..."
std::string DeadlineMessage(unsigned seconds, QueryStep step, std::string_view system);

// A single run's last words: the error document of message 1033, naming the
// marked step and system; exit status 2.
class SingleRunDeadline final : public DeadlineHandler {
 public:
  // Starts the watchdog for a run that started at `start` and has `seconds`.
  void Arm(Clock::time_point start, unsigned seconds);
  int WriteLastWords() override;

 private:
  unsigned seconds_ = 0;
};

// The watchdog's platform parts (deadline_posix.cpp, deadline_win32.cpp).
namespace watchdog_platform {
// Runs `body` on a thread of its own that nobody waits for.
bool StartThread(void (*body)());
void SleepMilliseconds(unsigned milliseconds);
// Ends the process at once with `status`: no exit handlers, no library
// unloading (the RFC library may be in the middle of a call on another
// thread).
[[noreturn]] void EndProcess(int status);
}  // namespace watchdog_platform

}  // namespace poolmetrics
