// The child's side of a parallel global run.
#pragma once

#include "global/child_task.h"
#include "rfc/session.h"
#include "run/deadline.h"

namespace poolmetrics {

// Queries each listed system whose name the parent sends, a line at a
// time on standard input, with what `task` says, through `library`, and
// writes what it gives for the parent (global/child_report.h). Returns 0 at
// the end of its input; an RFC error the program found itself ends the
// child in a RunFailure with the block, and the RFC error handler ends it
// with status 1. Each system is queried in steps of `deadline`, which the
// entry armed with the task's time left: should the parent be gone by
// then, the child ends without a word.
int RunListedSystemChild(const ListingTask& task, RfcLibrary& library, Deadline& deadline);

}  // namespace poolmetrics
