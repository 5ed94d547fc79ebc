// RunSystemListing: the loop of a global run over the systems of the
// server listing, with a state line per system and the closing summary.
#pragma once

#include "run/progress.h"
#include "run/run_state.h"

namespace poolmetrics {

// Processes every system of state.ServerListing and prints the document with
// its summary. Returns exit status 0, however many systems failed.
int RunSystemListing(RunState& state, Progress& progress);

}  // namespace poolmetrics
