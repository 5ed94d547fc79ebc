// QuerySystem: the sequence every system goes through, in a single run and
// in each step of a global run alike: log on, make the one call, close.
#pragma once

#include <optional>
#include <string>

#include "output/sensor_evaluation.h"
#include "profile/system_definition.h"
#include "rfc/session.h"
#include "run/parameter_values.h"

namespace poolmetrics {

// What one system gave.
struct SystemResult {
  bool logged_on = false;
  bool unsupported_mode = false;             // the library cannot make this logon at all
  std::optional<StatisticResult> statistic;  // the call's figures
  std::optional<CallFailure> failure;        // the call failed
  std::optional<ErrorBlock> block;           // an RFC error: the run ends with the error block
  bool processed = false;                    // the state: "Processed", else "Rfc Failure"
  ResponseTimes times;                       // how long the logon and the call took
};

// Logs on to `system` (with the parameters' ",HOST=" and ",NO=" overrides),
// calls the summary statistic and closes the connection, timing the logon
// and the call, and marking each step for a deadline. A definition that
// is not `valid` is still tried, but never counts as processed; one that is
// not usable for a logon at all (a value cut to its field, an unsafe
// destination) is not tried.
SystemResult QuerySystem(RfcLibrary& library, const SystemDefinition& system, bool valid, const ParameterValues& values,
                         SessionEvents& events);

// "Error 1011: RFC-Open for " + destination + " failed !"
std::string LogonFailureMessage(std::string_view destination);

// Message 1034: the library `library_file` cannot log on in `mode`.
std::string UnsupportedModeMessage(std::string_view destination, std::string_view mode, std::string_view library_file);

// The message of a failed call (1012 to 1015).
std::string CallFailureMessage(const CallFailure& failure);

}  // namespace poolmetrics
