// The RFC library of this run.
#pragma once

#include "rfc/library.h"

namespace poolmetrics {

// The library that LoadRfcLibrary chooses; when neither library serves, a
// RunFailure with message 1031.
RfcLibrary& RunLibrary();

}  // namespace poolmetrics
