// QuerySystem: the sequence every system goes through, in a single run and
// in each step of a global run alike: log on, make the one call, close. What
// it gives is a value that the single run and the listing each visit.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "output/sensor_evaluation.h"
#include "profile/system_definition.h"
#include "rfc/session.h"
#include "run/deadline.h"
#include "run/parameter_values.h"

namespace poolmetrics {

// The system answered the call with its figures (shared by the outcome's
// copies, never changed once answered).
struct Answered {
  SharedStatistic statistic;
  ResponseTimes times;  // how long the logon and the call took
};
// The call failed (messages 1012 to 1015).
struct CallFailed {
  CallFailure failure;
  ResponseTimes times;
  // The trace file's hint as the run that fetched a cached answer read it
  // (none: read the trace file now).
  std::optional<std::string> trace_hint;
};
// The logon failed (message 1011), for `reason` (the library's key and
// message, or what went wrong on this side). `local`: on the program's own
// side (OpenFailure::local), so no answer of SAP's that runs may share.
struct LogonRefused {
  std::string reason;
  bool local = false;
};
// No logon was tried: the library cannot make this logon at all (the R/2
// mode through the NetWeaver library, message 1034), or the definition is
// not usable for a logon (a value cut to its field, an unsafe destination).
struct NotTried {
  bool unsupported_mode = false;
};
// An RFC error that the program found itself: the run ends with the error
// block (status 1).
using SystemOutcome = std::variant<Answered, CallFailed, LogonRefused, NotTried, ErrorBlock>;

// The logon that `system` asks for, with the parameters' ",HOST=" and
// ",NO=" overrides. It refers to `system` and `values`, which must outlive
// it.
LogonDescription LogonOf(const SystemDefinition& system, const ParameterValues& values);

// Logs on to `system` (with the parameters' ",HOST=" and ",NO=" overrides),
// calls the summary statistic and closes the connection, timing the logon
// and the call, each a step of `deadline`. A definition that is not usable
// for a logon at all is not tried. `events` hears what the logon has to
// say; it is used only during the call.
SystemOutcome QuerySystem(RfcLibrary& library, const SystemDefinition& system, const ParameterValues& values,
                          SessionEvents& events, Deadline& deadline);

// "Error 1011: RFC-Open for " + destination + " failed !", and the reason
// after a blank where there is one.
std::string LogonFailureMessage(std::string_view destination, std::string_view reason);

// Message 1034: the library `library_file` cannot log on in `mode`.
std::string UnsupportedModeMessage(std::string_view destination, std::string_view mode, std::string_view library_file);

// The message of a failed call (1012 to 1015).
std::string CallFailureMessage(const CallFailure& failure);

// Builds a visitor from lambdas: std::visit(Overloaded{...}, outcome).
template <typename... Cases>
struct Overloaded : Cases... {
  using Cases::operator()...;
};
template <typename... Cases>
Overloaded(Cases...) -> Overloaded<Cases...>;

}  // namespace poolmetrics
