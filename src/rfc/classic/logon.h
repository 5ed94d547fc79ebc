// The classic library's logon to the system a profile describes.
#pragma once

#include <cstdint>

#include "rfc/classic/classic_library.h"
#include "rfc/session.h"

namespace poolmetrics {

// Logs on as `logon` describes: through the destination's ini file
// ("SapRfc." + destination, copied over "SapRfc.ini") and RfcOpenEx when
// there is one, otherwise with RfcOpen. Returns the connection handle, 0
// when no connection was opened.
std::uint32_t OpenConnection(const ClassicRfc& rfc, const LogonDescription& logon, SessionEvents& events);

}  // namespace poolmetrics
