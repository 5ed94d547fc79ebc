// The run of a single system: its profile found and read, the system's
// answer asked for (through the answer cache), the document printed.
#pragma once

#include "profile/system_definition.h"
#include "rfc/session.h"
#include "run/deadline.h"
#include "run/progress.h"
#include "run/query_system.h"
#include "run/request.h"

namespace poolmetrics {

// Runs a request that names one system and prints its document; returns
// exit status 0. Every failure ends in a RunFailure: a profile fault, a
// missing sensor type or library, a refused logon, a failed call (its
// message with the trace-file hint), an RFC error that the program found
// itself (its block). From the profile search to the end of the call the
// run is in steps of `deadline` (armed by the entry), which may end it
// with message 1033.
int RunSingleRequest(const Request& request, Deadline& deadline);

// Prints what the system gave (returns 0), or throws the RunFailure that
// tells why not. `library`: the one the system was queried through; none
// when a cached answer served.
int PrintSingleRun(const Request& request, const SystemDefinition& system, RfcLibrary* library,
                   SystemOutcome outcome, const Progress& progress);

}  // namespace poolmetrics
