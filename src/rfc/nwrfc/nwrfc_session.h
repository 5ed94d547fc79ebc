// The NetWeaver RFC library behind the session interface.
#pragma once

#include <memory>
#include <string>

#include "rfc/nwrfc/nwrfc_library.h"
#include "rfc/session.h"

namespace poolmetrics {

// The NetWeaver library as the run's RfcLibrary, with its operations found
// through `lookup` in the loaded library; null when it lacks a needed one
// (lookup.failure() names it). A sapnwrfc.ini in `program_directory` serves
// in place of the working directory's (ini_path.h).
std::unique_ptr<RfcLibrary> NetWeaverRfcLibrary(OperationLookup& lookup, const std::string& program_directory);

// A session factory over the operations `rfc` (a test's); `file_name` names
// the library. `program_directory` as above; empty: the working directory's
// sapnwrfc.ini only.
std::unique_ptr<RfcLibrary> MakeNetWeaverLibrary(const NwRfc& rfc, std::string file_name,
                                                 std::string program_directory = {});

}  // namespace poolmetrics
