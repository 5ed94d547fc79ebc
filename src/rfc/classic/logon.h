// The classic library's logon to the system a profile describes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/fixed_text.h"
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

// A connection's own copies of its logon fields, and the library's records
// that point into them. The library may keep those pointers while the
// connection is open: the record stays at one address until the connection
// is closed (the session holds it). The password's copies are wiped when it
// goes, and at once with a failed logon's session.
struct LogonRecord {
  LogonRecord() = default;
  LogonRecord(const LogonRecord&) = delete;
  LogonRecord& operator=(const LogonRecord&) = delete;
  ~LogonRecord();

  FixedText<12> destination;
  FixedText<12> client;
  FixedText<48> user;
  FixedText<41> password;  // up to 40 characters, the longest SAP takes
  FixedText<32> language;
  FixedText<32> mode;
  FixedText<128> hostname;
  FixedText<128> sysnr;
  FixedText<62> gateway_host;
  FixedText<32> gateway_service;
  RFC_OPTIONS options{};
  RFC_CONNOPT_R3ONLY r3only{};
  RFC_CONNOPT_CPIC cpic{};
  RFC_ERROR_INFO_EX error_info{};
};

// Whether the classic library's error key `key` tells of a fault on the
// program's side (RFC_ERROR_PROGRAM: a destination missing from SapRfc.ini,
// a malformed logon; RFC_ERROR_INTERNAL, RFC_ERROR_RESOURCE: the library's
// own trouble), not of SAP's or the network's answer.
bool LocalErrorKey(std::string_view key);

// Logs on as `logon` describes: through the destination's ini file
// ("SapRfc." + destination, copied over "SapRfc.ini") and RfcOpenEx when
// there is one, otherwise with RfcOpen, with the fields and records in
// `record`, which must stay until the connection is closed.
ClassicLogon OpenConnection(const ClassicRfc& rfc, const LogonDescription& logon, SessionEvents& events,
                            LogonRecord& record);

}  // namespace poolmetrics
