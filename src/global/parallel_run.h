// Parallel global runs ("PARALLEL=n"): up to n listed systems are handled
// at once, in up to n child processes of the program, each of which takes
// one system at a time as the parent hands them out in listing order. So the
// RFC library's thread safety is never in question (each child uses it as a
// sequential run does), a hung system holds up only its own child, which is
// simply ended at the deadline, and a run does not start a process for every
// system (under Wine, or with a virus scanner, that costs more than the
// system's logon). The parent prints exactly what a sequential run prints:
// each system's output, state line and channels in listing order, the
// channel count over the run in that order, the same summary.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "global/child_set.h"
#include "global/listing_output.h"
#include "global/listing_schedule.h"
#include "global/listing_task.h"
#include "rfc/session.h"
#include "run/deadline.h"

namespace poolmetrics {

// Handles the listed systems in `names` in child processes, `width` at
// once, and prints through `output`. Returns 0, or 1 when a system ended in
// an RFC error (reported). While children work, the parent never calls the
// RFC library and never waits without a limit, so it keeps the deadline
// itself: at the deadline it ends its children and the run. A system for
// which no child can be started (no process or descriptor left) the parent
// handles itself through `library`, as a sequential run would.
int RunListingInParallel(const ListingTask& task, const std::vector<std::string_view>& names, ListingOutput& output,
                         unsigned width, RfcLibrary& library, Deadline& deadline);

// One parallel run: the schedule (ListingSchedule) carried out with the
// children of `children`, a place for each of the `width` (at least 1)
// systems that run at once. Run() is the whole run; its steps are public so that each can be
// driven alone. A step that returns a status has ended the run with it (0,
// or 1 after an RFC error's report), and no step may follow.
//
// Everything given must outlive the run. The deadline is read once, at the
// construction.
class ParallelRun {
 public:
  ParallelRun(const ListingTask& task, const std::vector<std::string_view>& names, ListingOutput& output,
              unsigned width, RfcLibrary& library, Deadline& deadline, ChildSet& children);

  // Hands out, prints and waits for the children in turn until every
  // system is printed, the deadline has passed or an RFC error ended the
  // run; returns the run's status.
  int Run();

  // Hands the next names to the places that have no system, starting a
  // child where there is none or its last one ended. A system whose child
  // cannot be started is tried again once a place frees; when none is
  // running, the parent handles it here.
  std::optional<int> HandOut();
  // Notes the systems whose children finished them, or ended; an RFC error
  // record ends the schedule at its system.
  void Collect();
  // Prints what the systems that finished gave, strictly in listing order.
  std::optional<int> PrintReady();
  // Handles the system `index`, whose child could not be started while no
  // other system runs, in this process through the library, as a
  // sequential run does: every system before it printed first, it prints
  // as it goes.
  std::optional<int> HandleHere(std::size_t index);
  // The deadline has passed.
  bool DeadlinePassed() const;
  // The run's end at the deadline: the first system not printed is in
  // progress; what its child printed so far, then its state line "Timeout".
  // An RFC error its child reported just now is the run's outcome instead.
  int EndAtDeadline();
  // The run's end after every system was printed: the summary; the
  // children read the end of their input.
  int End();

 private:
  bool Give(std::size_t place, std::size_t index);
  std::optional<int> PrintAnswer(std::size_t index);
  std::vector<std::size_t> Working() const;

  const ListingTask& task_;
  const std::vector<std::string_view>& names_;
  ListingOutput& output_;
  RfcLibrary& library_;
  Deadline& deadline_;
  ChildSet& children_;
  const std::optional<Clock::time_point> until_;
  ListingSchedule schedule_;
  std::vector<std::optional<std::size_t>> systems_;  // by place: the system its child works on
  std::vector<std::string> answers_;                 // by system: what its child wrote, once finished
  const std::vector<std::string> arguments_;         // the children's
};

}  // namespace poolmetrics
