#include "tools/failure_advice.h"

#include "base/text.h"
#include "tools/shown_text.h"

namespace poolmetrics {
namespace {

constexpr std::string_view kFunction = "SAPTUNE_GET_SUMMARY_STATISTIC";

bool HasAny(std::string_view text, std::initializer_list<std::string_view> words) {
  std::string upper(text);
  UpperCaseInPlace(upper);
  for (std::string_view word : words)
    if (Contains(upper, word)) return true;
  return false;
}

// The ports behind a system number: gateway 33nn, dispatcher 32nn.
std::string PortsOf(std::string_view sysnr) {
  bool two_digits = sysnr.size() == 2 && sysnr[0] >= '0' && sysnr[0] <= '9' && sysnr[1] >= '0' && sysnr[1] <= '9';
  std::string nn = two_digits ? std::string(sysnr) : "nn";
  return Concat({"33", nn, " (gateway) and 32", nn, " (dispatcher)"});
}

bool ThroughGateway(const SystemDefinition& system) { return system.Mode == "R/2"; }

void AddRefusedChecks(const SystemDefinition& system, std::vector<std::string>& checks) {
  std::string user = Shown(system.User);
  checks.push_back(Concat({"the password of user ", user, " (Password...:, its stored form made by "
                           "PoolMetricsProfile encode)"}));
  checks.push_back(Concat({"whether user ", user, " is locked or its password expired (transactions SU01, SM01)"}));
  checks.push_back(Concat({"the client ", Shown(system.Client), " (Client.....:): it must exist on the system"}));
}

void AddNotReachedChecks(const SystemDefinition& system, std::vector<std::string>& checks) {
  if (ThroughGateway(system)) {
    checks.push_back(Concat({"the gateway host ", Shown(system.Gwhost), " (Gwhost.....:)"}));
    checks.push_back(Concat({"the gateway service ", Shown(system.Gwservice), " (Gwservice..:)"}));
    checks.push_back("a firewall between this machine and the gateway");
    return;
  }
  checks.push_back(Concat({"the host name ", Shown(system.Hostname), " (Hostname...:)"}));
  checks.push_back(Concat({"the system number ", Shown(system.Sysnr), " (Sysnr......:): the logon uses port ",
                           PortsOf(system.Sysnr)}));
  checks.push_back(Concat({"a firewall between this machine and ", Shown(system.Hostname), " (ports ",
                           PortsOf(system.Sysnr), ")"}));
}

}  // namespace

FailureKind KindOfLogonFailure(std::string_view account) {
  // The library's error key says it outright.
  if (HasAny(account, {"LOGON_FAILURE"})) return FailureKind::kLogonRefused;
  if (HasAny(account, {"COMMUNICATION"})) return FailureKind::kHostNotReached;
  // Else its message, in the words SAP's libraries use.
  if (HasAny(account, {"NOT REACHED", "HOSTNAME", "UNKNOWN HOST", "CONNECT TO", "CONNECTION REFUSED", "TIMEOUT",
                       "TIMED OUT"}))
    return FailureKind::kHostNotReached;
  if (HasAny(account, {"PASSWORD", "LOCKED", "LOGON", "CLIENT", "USER"})) return FailureKind::kLogonRefused;
  return FailureKind::kLogonFailed;
}

std::string_view CauseOf(FailureKind kind) {
  switch (kind) {
    case FailureKind::kLogonRefused: return "the system refused the logon";
    case FailureKind::kHostNotReached: return "no system answered at the address";
    case FailureKind::kLogonFailed: return "the logon failed (the system refused it, or was not reached)";
    case FailureKind::kCallFailed: return "logged on, but the call of SAPTUNE_GET_SUMMARY_STATISTIC failed";
    case FailureKind::kRfcError: break;
  }
  return "the RFC library failed on this machine's side";
}

std::vector<std::string> ChecksFor(FailureKind kind, const SystemDefinition& system) {
  std::vector<std::string> checks;
  switch (kind) {
    case FailureKind::kLogonRefused: AddRefusedChecks(system, checks); break;
    case FailureKind::kHostNotReached: AddNotReachedChecks(system, checks); break;
    case FailureKind::kLogonFailed:
      AddNotReachedChecks(system, checks);
      AddRefusedChecks(system, checks);
      break;
    case FailureKind::kCallFailed:
      checks.push_back(Concat({"the authorisation S_RFC of user ", Shown(system.User),
                               ": activity 16 (execute) for function group SYST and function ", kFunction}));
      break;
    case FailureKind::kRfcError:
      checks.push_back("the RFC library's trace file in the working directory (Dev_Rfc.Trc, dev_rfc.log)");
      break;
  }
  return checks;
}

}  // namespace poolmetrics
