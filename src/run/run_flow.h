// The run of a single system: connect, evaluate the sensor, close, print.
#pragma once

#include "run/progress.h"
#include "run/run_state.h"

namespace poolmetrics {

// Runs the sensor against state.System and prints the document. Returns
// exit status 0; a failed call ends in a RunFailure carrying its message
// and the trace-file hint.
int RunOneSystem(RunState& state, const Progress& progress);

}  // namespace poolmetrics
