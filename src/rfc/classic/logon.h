// The classic library's logon to the system a profile describes.
#pragma once

#include <cstdint>
#include <string>

#include "rfc/classic/classic_library.h"
#include "rfc/session.h"

namespace poolmetrics {

// A logon's result: the connection handle, or 0 with the reason why no
// connection was opened (the library's error key and message, or what went
// wrong on this side).
struct ClassicLogon {
  std::uint32_t handle = 0;
  std::string reason;
};

// Logs on as `logon` describes: through the destination's ini file
// ("SapRfc." + destination, copied over "SapRfc.ini") and RfcOpenEx when
// there is one, otherwise with RfcOpen.
ClassicLogon OpenConnection(const ClassicRfc& rfc, const LogonDescription& logon, SessionEvents& events);

}  // namespace poolmetrics
