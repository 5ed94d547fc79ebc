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

#include <cstddef>
#include <optional>
#include <vector>

#include "run/child_report.h"
#include "run/listing_output.h"
#include "run/run_state.h"

namespace poolmetrics {

// Which listed systems run when, and which may be printed: up to `width`
// at once, started in listing order, printed strictly in listing order as
// soon as every system before them was.
class ListingSchedule {
 public:
  ListingSchedule(std::size_t names, unsigned width);

  // The next system to start, when a place is free and one is left.
  std::optional<std::size_t> NextToStart();
  // The system just given by NextToStart could not be started: it is handed
  // out again once another has finished (at once when none runs).
  void StartFailed(std::size_t index);
  void Finished(std::size_t index);
  // The run ends at this system: none after it is started or printed.
  void StopAfter(std::size_t index);
  // The next system to print, once it and every one before it finished.
  std::optional<std::size_t> NextToPrint();

  // Systems running now.
  unsigned running() const { return running_; }
  // The systems printed so far are those before this one, which is the
  // first not printed (the one a deadline finds in progress).
  std::size_t printed() const { return printed_; }
  bool done() const { return printed_ == finished_.size(); }

 private:
  std::vector<bool> finished_;
  unsigned width_;
  unsigned running_ = 0;
  bool waiting_ = false;  // for a system to finish before the next start
  std::size_t started_ = 0;
  std::size_t printed_ = 0;
};

// The parent's side: handles the systems of state.ServerListing in child
// processes, `width` at once, and prints through `output`. Returns 0, or 1
// when a child was ended by the RFC error handler (its block printed). It
// keeps the run's deadline itself: at state.Deadline it ends its children
// and the run.
int RunListingInParallel(RunState& state, ListingOutput& output, unsigned width);

// The child's side: queries each listed system whose name the parent sends,
// with what `task` says, and writes what it gives for the parent
// (child_report.h). Returns 0 at the end of its input; an RFC error the
// program found itself ends the child in a RunFailure with the block, and
// the RFC error handler ends it with status 1.
int RunListedSystemChild(const ChildTask& task, RfcLibrary& (*library)());

}  // namespace poolmetrics
