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

// With "CACHE=n" an answer that a run on this machine fetched less than n
// seconds ago serves in place of a logon and call, and loads no library;
// the first run that finds none asks SAP and keeps what it got.

// Its two halves, for the run above and for tests. The first queries the
// system through `library` (the library line with progress); the second
// prints what the system gave (returns 0), or throws the RunFailure that
// tells why not. `library` is none for a kept answer.
SystemOutcome QuerySingleSystem(const Request& request, const SystemDefinition& system, RfcLibrary& library,
                                const Progress& progress);
int PrintSingleRun(const Request& request, const SystemDefinition& system, RfcLibrary* library,
                   SystemOutcome outcome, const Progress& progress);

}  // namespace poolmetrics
