// The run of a single system: its profile found and read, the system
// queried, the document printed.
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
// itself (its block). From the profile search to the end of the call, the
// deadline (armed by the entry) may end the run with message 1033.
int RunSingleRequest(const Request& request, const Deadline& deadline);

// Its two halves, for the run above and for tests. The first prints the
// progress lines and queries the system through `library`; the second
// prints what the system gave (returns 0), or throws the RunFailure that
// tells why not.
SystemOutcome QuerySingleSystem(const Request& request, const SystemDefinition& system, RfcLibrary& library,
                                const Progress& progress);
int PrintSingleRun(const Request& request, const SystemDefinition& system, RfcLibrary& library,
                   SystemOutcome outcome, const Progress& progress);

}  // namespace poolmetrics
