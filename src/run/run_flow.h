// The run of a single system: connect, evaluate the sensor, close, print.
#pragma once

#include "rfc/session.h"
#include "run/progress.h"
#include "run/run_state.h"

namespace poolmetrics {

// Runs the sensor against state.System through `library` and prints the
// document. Returns exit status 0; a refused logon or a failed call ends in
// a RunFailure carrying its message (a failed call's with the trace-file
// hint), an RFC error that the program found itself in one carrying its
// block.
int RunOneSystem(RunState& state, RfcLibrary& library, const Progress& progress);

}  // namespace poolmetrics
