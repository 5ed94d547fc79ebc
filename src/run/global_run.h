// RunSystemListing: the loop of a global run over the systems of the
// server listing, with a state line per system and the closing summary.
#pragma once

#include "rfc/session.h"
#include "run/progress.h"
#include "run/run_state.h"

namespace poolmetrics {

// Processes every system of state.ServerListing through `library` and prints
// the document with its summary. Returns exit status 0, however many systems
// failed; an RFC error that the program found itself ends the run with its
// block (RunFailure), after the lines printed so far. With "PARALLEL=n" up
// to n systems are handled at once, each in a child process, and the run
// prints the same; a child ended by the RFC error handler ends the run with
// status 1 after its block. At the deadline the run ends with the summary
// of the systems that finished (status 0).
int RunSystemListing(RunState& state, RfcLibrary& library, Progress& progress);

}  // namespace poolmetrics
