#include "run/query_system.h"

#include "base/text.h"
#include "run/deadline.h"

namespace poolmetrics {
namespace {

std::uint32_t MillisecondsSince(Clock::time_point start) {
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

}  // namespace

LogonDescription LogonOf(const SystemDefinition& system, const ParameterValues& values) {
  LogonDescription logon{system.Destination, system.Client,   system.User,     system.Password,
                         system.Language,    system.Mode,     system.Hostname, system.Sysnr,
                         system.Gwhost,      system.Gwservice};
  if (values.host) logon.hostname = *values.host;
  if (values.sysnr) logon.sysnr = *values.sysnr;
  // CREDENTIALS= put PRTG's user and password, which are text, in place of
  // the profile's.
  if (values.run.credentials) logon.credentials = CredentialForm::kUtf8Text;
  return logon;
}

SystemOutcome QuerySystem(RfcLibrary& library, const SystemDefinition& system, const ParameterValues& values,
                          SessionEvents& events, Deadline& deadline) {
  // A cut logon value or an unsafe destination would reach another system
  // or file: such a system is not even tried.
  if (!UsableForLogon(system)) return NotTried{};
  LogonDescription logon = LogonOf(system, values);

  ResponseTimes times;
  OpenOutcome opened = [&] {
    Deadline::Step step(deadline, QueryStep::kLogon, system.Destination);
    Clock::time_point started = Clock::now();
    OpenOutcome outcome = library.Open(logon, events);
    times.logon_ms = MillisecondsSince(started);
    return outcome;
  }();
  if (auto* failure = std::get_if<OpenFailure>(&opened)) {
    if (failure->block) return std::move(*failure->block);
    if (failure->unsupported_mode) return NotTried{true};
    return LogonRefused{std::move(failure->reason), failure->local};
  }
  std::unique_ptr<Session> session = std::move(std::get<std::unique_ptr<Session>>(opened));
  CallOutcome outcome = [&] {
    Deadline::Step step(deadline, QueryStep::kCall, system.Destination);
    Clock::time_point started = Clock::now();
    CallOutcome called = session->CallSummaryStatistic();
    times.call_ms = MillisecondsSince(started);
    session.reset();  // the connection is closed here
    return called;
  }();
  return std::visit(Overloaded{
                        [&](SharedStatistic& statistic) -> SystemOutcome {
                          return Answered{std::move(statistic), times};
                        },
                        [&](CallFailure& failure) -> SystemOutcome {
                          return CallFailed{std::move(failure), times, std::nullopt};
                        },
                        [](ErrorBlock& block) -> SystemOutcome { return std::move(block); },
                    },
                    outcome);
}

std::string LogonFailureMessage(std::string_view destination, std::string_view reason) {
  std::string message = Concat({"Error 1011: RFC-Open for ", destination, " failed !"});
  return reason.empty() ? message : Concat({message, " ", reason});
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
