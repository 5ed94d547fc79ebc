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

#include <string_view>
#include <vector>

#include "global/listing_output.h"
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

}  // namespace poolmetrics
