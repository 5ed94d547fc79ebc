// EvaluateSensor: the one call over the run's open connection, turned into
// the sections of the sensor types the parameters name.
#pragma once

#include <string>

#include "run/run_state.h"

namespace poolmetrics {

// Calls the summary statistic over state.ConnectionHandle and writes the
// sections into the run's document; sets the call status to OK exactly when
// the call succeeded. A failed call's message (1012 to 1015) is returned; in
// a global run it also stands in the document in place of the channels.
std::string EvaluateSensor(RunState& state);

}  // namespace poolmetrics
