// What the administrator checks when a test logon or call fails: the kind of
// failure, and the places to look for its cause.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "profile/system_definition.h"

namespace poolmetrics {

enum class FailureKind {
  kLogonRefused,    // the system was reached and refused the logon
  kHostNotReached,  // no system answered at the address
  kLogonFailed,     // the logon failed, and nothing tells which of the two
  kCallFailed,      // logged on, but the call of the function module failed
  kRfcError,        // the RFC library failed on this machine's side (a table, a structure)
};

// The kind of a failed logon, told from what the library said about it: its
// error key and message ("RFC_ERROR_LOGON_FAILURE: Name or password is
// incorrect (repeat logon)"), or only the message, or nothing (empty).
FailureKind KindOfLogonFailure(std::string_view account);

// What failed, in plain words: "the system refused the logon", ...
std::string_view CauseOf(FailureKind kind);

// What to check for a failure of `kind` with the logon that `system` asks
// for, one point a line.
std::vector<std::string> ChecksFor(FailureKind kind, const SystemDefinition& system);

}  // namespace poolmetrics
