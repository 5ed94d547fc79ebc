// Deadlines: a run answers in time, whatever the SAP system does. A vendor
// call that blocks cannot be cancelled, so the deadline is kept by a
// watchdog thread: when it passes, the watchdog takes the output lock (which
// every write of the run takes, see base/console.h), has the handler of the
// run's present step write the run's last document whole, and ends the
// process. This and the RFC library's error callback are the only places
// that end the process themselves.
//
// The deadline has one owner, the program entry, which arms it once; the
// steps of a run hand it to their handler only through a DeadlineWatch,
// whose end settles it.
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

// The run's deadline. One per process, made by the program entry when the
// run starts and living until the process ends; its time point is kept
// here and nowhere else.
class Deadline {
 public:
  explicit Deadline(Clock::time_point start) : start_(start) {}
  Deadline(const Deadline&) = delete;
  Deadline& operator=(const Deadline&) = delete;

  // Sets the time limit: `seconds` after the start, or none. Only the first
  // call counts.
  void Arm(std::optional<unsigned> seconds);
  // The same in milliseconds (a parallel run's child, whose parent says how
  // long it may take).
  void ArmMilliseconds(std::optional<unsigned> milliseconds);

  // When the run must have answered, if ever.
  std::optional<Clock::time_point> when() const { return when_; }
  // The time limit in whole seconds, as message 1033 names it.
  unsigned seconds() const;

 private:
  Clock::time_point start_;
  std::optional<Clock::time_point> when_;
  bool armed_ = false;
};

// While a watch lives, `handler` answers the deadline: when it passes, the
// watchdog (started by the first watch of an armed deadline) asks the
// handler for the run's last words and ends the process with their status;
// a watch made after the deadline passed does so at once. When the watch
// goes, the step's outcome is decided and the deadline is settled for it:
// should it pass now, nobody answers, and the run goes on to print what it
// has (or to its next watch). Should it have passed a moment before, the
// watchdog is writing, and the process ends in the watch's end. The
// deadline and the handler must outlive the watch; watches are not nested.
//
// A single run starts the watchdog only before a step that can wait
// (WatchdogStart::kBeforeWaiting, then WaitAhead): a thread costs a sensor
// run about a tenth of its time, more when the process maps memory after
// it, and a run served by a kept answer without waiting needs none. Its
// steps before that (reading a small profile, loading the library from the
// program's own folder) do not wait on anybody; a deadline passed by then
// is still answered at once by WaitAhead.
enum class WatchdogStart { kAtOnce, kBeforeWaiting };

class DeadlineWatch {
 public:
  DeadlineWatch(const Deadline& deadline, DeadlineHandler& handler, WatchdogStart start = WatchdogStart::kAtOnce);
  ~DeadlineWatch();
  DeadlineWatch(const DeadlineWatch&) = delete;
  DeadlineWatch& operator=(const DeadlineWatch&) = delete;

  // A step that can wait comes next (a logon, a call, a lock another run
  // holds): answers a deadline that has passed, and starts the watchdog if
  // it is not running yet.
  void WaitAhead();

 private:
  const Deadline& deadline_;
  DeadlineHandler& handler_;
};

// The steps of a system's query that a deadline can interrupt: what comes
// before its logon (reading the command line and the profile, loading the
// library), the logon (waiting for a kept answer's turn included), the call.
enum class QueryStep { kBeforeLogon, kLogon, kCall };

// The step the run is in and the system it concerns: marked by the main
// thread as it goes, read at the deadline for message 1033. Until a step is
// marked, the run is before the logon.
void MarkQueryStep(QueryStep step, std::string_view system);

// "Error 1033: Timeout after 2 s in the logon to PRD...", "... in the call
// to PRD...", "... before the logon to PRD..."
std::string DeadlineMessage(unsigned seconds, QueryStep step, std::string_view system);

// A single run's last words: the error document of message 1033, naming the
// marked step and system; exit status 2. `deadline` must outlive it.
class SingleRunDeadline final : public DeadlineHandler {
 public:
  explicit SingleRunDeadline(const Deadline& deadline) : deadline_(deadline) {}
  int WriteLastWords() override;

 private:
  const Deadline& deadline_;
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
