// The RFC library of this run.
#pragma once

#include "rfc/session.h"

namespace poolmetrics {

// The library that serves the run, loaded at its first need (not at
// start-up, so that every error before a logon works without one) and kept
// for the rest of the process; when neither library serves, a RunFailure
// with message 1031.
RfcLibrary& RunLibrary();

}  // namespace poolmetrics
