// Which sapnwrfc.ini the NetWeaver library reads. PRTG chooses the working
// directory of a sensor's run, so the file an administrator installs beside
// the program is found only where the library is pointed at it.
#pragma once

#include <string>

#include "rfc/nwrfc/nwrfc_library.h"

namespace poolmetrics {

// Points the library at the sapnwrfc.ini in `program_directory` (with its
// trailing separator) when that is a regular file there and the library has
// RfcSetIniPath and accepts the directory; call it once, before the first
// logon. Returns the path by which the program reads the same file as the
// library will: that one, else "sapnwrfc.ini" of the working directory. A
// file beside the program wins over the working directory's.
std::string ChooseIniPath(const NwRfc& rfc, const std::string& program_directory);

}  // namespace poolmetrics
