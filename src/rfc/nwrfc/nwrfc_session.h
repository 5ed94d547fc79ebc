// The NetWeaver RFC library behind the session interface.
#pragma once

#include <memory>
#include <string>

#include "rfc/nwrfc/nwrfc_library.h"
#include "rfc/session.h"

namespace poolmetrics {

// The NetWeaver library as the run's RfcLibrary, or null with the reason
// in `reason` when it cannot be loaded or lacks an operation.
RfcLibrary* NetWeaverRfcLibrary(std::string* reason);

// A session factory over the operations `rfc` (the loaded library's, or a
// test's), which must outlive it; `file_name` names the library. A
// sapnwrfc.ini in `program_directory` serves in place of the working
// directory's (ini_path.h); empty: the working directory's only.
std::unique_ptr<RfcLibrary> MakeNetWeaverLibrary(const NwRfc& rfc, std::string file_name,
                                                 std::string program_directory = {});

}  // namespace poolmetrics
