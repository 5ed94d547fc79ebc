// EvaluateSensor: one call of the summary statistic, turned into the
// sections of the sensor types named in the parameters.
#pragma once

#include "run/run_state.h"

namespace poolmetrics {

// Calls the function module over state.ConnectionHandle and appends the
// sections (or the failed call's message) to the document. Sets the call
// status to OK exactly when the call succeeded; returns the call's code.
int EvaluateSensor(RunState& state);

}  // namespace poolmetrics
