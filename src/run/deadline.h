// Deadline: a run answers in time, whatever the SAP system does. A vendor
// call that blocks cannot be cancelled, so the deadline is kept by a
// watchdog thread: when it passes during a step of the run, the watchdog
// takes the output lock (which every write of the run takes, see
// base/console.h), writes the run's last words whole and ends the process.
// This and the RFC library's error callback are the only places that end
// the process themselves.
//
// The process has one deadline, made by the program entry when the run
// starts and armed by it once, when the kind of run and its time limit are
// known; it lives until the process ends, so the watchdog never asks after
// one that is gone. All its state is its own, written and read under the
// output lock.
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

// The kinds of run, which say different last words (Deadline::LastWords).
enum class RunKind {
  kSingle,   // one system: the error document of message 1033, status 2
  kListing,  // a global run: the summary of the systems that finished, status 0
  kChild,    // a parallel run's child: nothing (its parent has ended it by then), status 2
};

// The steps of a system's query that a deadline can interrupt: what comes
// before its logon (reading the profile, loading the library, reading a
// cached answer), the logon (waiting for a cached answer's turn included), the
// call. Only the logon and the call can wait on anybody.
enum class QueryStep { kBeforeLogon, kLogon, kCall };

// "Error 1033: Timeout after 2 s in the logon to PRD...", "... in the call
// to PRD...", "... before the logon to PRD..."
std::string DeadlineMessage(unsigned seconds, QueryStep step, std::string_view system);

// How a listing run answers its deadline: with the summary of the systems
// that finished, the system in progress named (global/listing_output.h).
// Called on the watchdog's thread with the output lock held.
class ListingSummary {
 public:
  virtual void EndAtDeadline() = 0;

 protected:
  ~ListingSummary() = default;
};

// The watchdog's platform parts (deadline_posix.cpp, deadline_win32.cpp).
namespace watchdog_platform {
// What a thread runs: function(argument).
struct ThreadBody {
  void (*function)(void*);
  void* argument;
};
// Runs `body` on a thread of its own that nobody waits for; `body` must
// outlive the thread.
bool StartThread(const ThreadBody& body);
void SleepMilliseconds(unsigned milliseconds);
// Ends the process at once with `status`: no exit handlers, no library
// unloading (the RFC library may be in the middle of a call on another
// thread).
[[noreturn]] void EndProcess(int status);
}  // namespace watchdog_platform

class Deadline {
 public:
  explicit Deadline(Clock::time_point start) : start_(start) {}
  Deadline(const Deadline&) = delete;
  Deadline& operator=(const Deadline&) = delete;

  // Sets the kind of run and its time limit, counted from the start (none:
  // the run has no deadline). Called once, by the entry, before any step.
  void Arm(RunKind kind, std::optional<std::chrono::milliseconds> limit);

  // A listing run's summary, which its last words write; set once its
  // document is open, before its first step. It must live until the run's
  // last step has ended.
  void AnswerWith(ListingSummary& summary);

  // When the run must have answered, if ever.
  std::optional<Clock::time_point> when() const { return when_; }
  // The time limit in whole seconds, as message 1033 names it.
  unsigned seconds() const;

  // A step of the run, for as long as it lives. While any step lives, the
  // watchdog answers a deadline that passes with the run's last words, which
  // name the innermost step and its system; outside every step it only
  // notes it. A step that begins after the deadline answers it at once, so
  // no step begins late. When the outermost step ends, the outcome is
  // decided and the run goes on to print it; should the watchdog have been
  // writing a moment before, the process ends in the step's end.
  //
  // The watchdog thread is started by the first step that can wait (the
  // logon or the call): a run that never waits (served by a cached answer,
  // or ended by a fault in its profile) starts no thread. Steps nest; the
  // deadline and `system`'s text must outlive the step.
  class Step {
   public:
    Step(Deadline& deadline, QueryStep step, std::string_view system);
    ~Step();
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;

   private:
    Deadline& deadline_;
    QueryStep outer_step_;
    std::string_view outer_system_;
  };

 private:
  // The run's last words, written by whoever finds the deadline passed
  // during a step, with the output lock held; returns the exit status.
  int LastWords();
  [[noreturn]] void EndWithLastWords();
  static void Watch(void* deadline);

  Clock::time_point start_;
  const watchdog_platform::ThreadBody watchdog_{&Deadline::Watch, this};
  std::optional<Clock::time_point> when_;
  RunKind kind_ = RunKind::kSingle;
  ListingSummary* summary_ = nullptr;
  // Under the output lock: the steps that live, the innermost's step and
  // system, and what the watchdog did.
  unsigned steps_ = 0;
  QueryStep step_ = QueryStep::kBeforeLogon;
  std::string_view system_;
  bool watching_ = false;  // the watchdog thread runs
  bool passed_ = false;    // the deadline passed while no step lived
};

}  // namespace poolmetrics
