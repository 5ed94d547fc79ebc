#include "run/query_system.h"

#include "run/deadline.h"
#include "run/run_failure.h"

namespace poolmetrics {
namespace {

std::uint32_t MillisecondsSince(Clock::time_point start) {
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

}  // namespace

SystemResult QuerySystem(RfcLibrary& library, const SystemDefinition& system, bool valid,
                         const ParameterValues& values, SessionEvents& events) {
  SystemResult result;
  // A cut logon value or an unsafe destination would reach another system
  // or file: such a system is not even tried.
  if (!UsableForLogon(system)) return result;
  LogonDescription logon{system.Destination, system.Client,   system.User,     system.Password,
                         system.Language,    system.Mode,     system.Hostname, system.Sysnr,
                         system.Gwhost,      system.Gwservice};
  if (values.host) logon.hostname = *values.host;
  if (values.sysnr) logon.sysnr = *values.sysnr;

  MarkQueryStep(QueryStep::kLogon, system.Destination);
  Clock::time_point started = Clock::now();
  OpenOutcome opened = library.Open(logon, events);
  result.times.logon_ms = MillisecondsSince(started);
  if (auto* failure = std::get_if<OpenFailure>(&opened)) {
    result.block = failure->block;
    result.unsupported_mode = failure->unsupported_mode;
    return result;
  }
  result.logged_on = true;
  CallOutcome outcome;
  {
    std::unique_ptr<Session> session = std::move(std::get<std::unique_ptr<Session>>(opened));
    MarkQueryStep(QueryStep::kCall, system.Destination);
    started = Clock::now();
    outcome = session->CallSummaryStatistic();
    result.times.call_ms = MillisecondsSince(started);
  }  // the connection is closed here
  if (auto* statistic = std::get_if<StatisticResult>(&outcome)) result.statistic = std::move(*statistic);
  if (auto* failure = std::get_if<CallFailure>(&outcome)) result.failure = std::move(*failure);
  if (auto* block = std::get_if<ErrorBlock>(&outcome)) result.block = std::move(*block);
  result.processed = valid && result.statistic.has_value();
  return result;
}

std::string LogonFailureMessage(std::string_view destination) {
  return Concat({"Error 1011: RFC-Open for ", destination, " failed !"});
}

std::string UnsupportedModeMessage(std::string_view destination, std::string_view mode, std::string_view library_file) {
  return Concat(
      {"Error 1034: Mode ", mode, " of ", destination, " not supported by RFC-Library ", library_file, "..."});
}

std::string CallFailureMessage(const CallFailure& failure) {
  switch (failure.kind) {
    case CallFailureKind::kFailure: return "Error 1014: RFC-Failure raised !";
    case CallFailureKind::kException: return Concat({"Error 1012: Exception.: ", failure.exception});
    case CallFailureKind::kSystemException: return "Error 1013: Sys-Exception raised !";
    case CallFailureKind::kOther: break;
  }
  return "Error 1015: Other Failure raised !";
}

}  // namespace poolmetrics
