// The command line of a sensor request: profile name, then up to two
// parameter words (the rest is ignored).
#pragma once

#include "run/run_state.h"

namespace poolmetrics {

// Fills ProfileName, ProfileDirectory, ParameterText, ParameterKeys,
// GlobalMode, ItemName and ShowProgress from the arguments (argv[0] is the
// program). No argument: RunFailure with message 1001; a run-control value
// out of its range: message 1035.
void ReadCommandLine(RunState& state, int argc, const char* const* argv);

}  // namespace poolmetrics
