// The classic RFC library behind the session interface.
#pragma once

#include <memory>
#include <string>

#include "rfc/operation_lookup.h"
#include "rfc/session.h"

namespace poolmetrics {

// The classic library as the run's RfcLibrary, with its operations found
// through `lookup` in the loaded library; null when it lacks one
// (lookup.failure() names it). The library lives as long as the process:
// its error handler refers to it. (It reads its destinations from the
// working directory: the program's directory, which the loader passes
// every library, is not its concern.)
std::unique_ptr<RfcLibrary> ClassicRfcLibrary(OperationLookup& lookup, const std::string& program_directory);

}  // namespace poolmetrics
