// The classic library's logon to the system a profile describes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "rfc/classic/classic_library.h"
#include "rfc/session.h"

namespace poolmetrics {

// A logon's result: the connection handle, or 0 with the reason why no
// connection was opened (the library's error key and message, or what went
// wrong on this side) and whether that was on this side (OpenFailure::local).
struct ClassicLogon {
  std::uint32_t handle = 0;
  std::string reason;
  bool local = false;
};

// Whether the classic library's error key `key` tells of a fault on the
// program's side (RFC_ERROR_PROGRAM: a destination missing from SapRfc.ini,
// a malformed logon; RFC_ERROR_INTERNAL, RFC_ERROR_RESOURCE: the library's
// own trouble), not of SAP's or the network's answer.
bool LocalErrorKey(std::string_view key);

// Logs on as `logon` describes: through the destination's ini file
// ("SapRfc." + destination, copied over "SapRfc.ini") and RfcOpenEx when
// there is one, otherwise with RfcOpen.
ClassicLogon OpenConnection(const ClassicRfc& rfc, const LogonDescription& logon, SessionEvents& events);

}  // namespace poolmetrics
