// test NAME: one logon and one call as a run of PoolMetrics makes them,
// through the library it would load, with the profile it would read; then
// what it reached, one item a line, or why not and what to check.
#include <chrono>
#include <cstdio>
#include <string>

#include "base/file.h"
#include "base/text.h"
#include "rfc/library.h"
#include "rfc/library_reason.h"
#include "rfc/trace_hint.h"
#include "run/profile_location.h"
#include "run/query_system.h"
#include "run/run_failure.h"
#include "tools/commands.h"
#include "tools/failure_advice.h"
#include "tools/profile_argument.h"
#include "tools/shown_text.h"

namespace poolmetrics {
namespace {

// One item of what the test reached: "label          : value".
void Item(std::string_view label, std::string_view value) {
  std::printf("%-15.*s: %.*s\n", static_cast<int>(label.size()), label.data(), static_cast<int>(value.size()),
              value.data());
}

// A failure: its message, what the library said about it where known, the
// cause in plain words and what to check. Returns the exit status.
int Failed(std::string_view message, std::string_view account, FailureKind kind, const SystemDefinition& system) {
  Item("result", message);
  if (!account.empty()) Item("library said", Shown(account));
  Item("cause", CauseOf(kind));
  for (const std::string& check : ChecksFor(kind, system)) Item("check", check);
  return 1;
}

// The profile that a run with `name` reads: the name as given (".P00"
// added as the program adds it), else the one PRTG's directory search finds
// in mode EXEXML. Prints the file used and sets `used` to its path, or says
// why none was found (then no file is returned).
File FindProfile(const char* name, Request& request, std::string& used) {
  request = ProfileRequest(name);
  std::string given = GivenProfilePath(request);
  if (std::string why = NoSystemProfile(request); !why.empty()) {
    Item("result", why);
    return File();
  }
  if (File profile = File::OpenRead(given.c_str())) {
    Item("profile", Shown(given));
    used = given;
    return profile;
  }
  request.Mode = CallerMode::kExeXml;
  ProfileLocation location;
  try {
    location = LocateProfile(request);
  } catch (const RunFailure& failure) {
    Item("profile", Concat({Shown(given), " is not there; PRTG's directory search:"}));
    Item("result", failure.message());
    Item("check", "the name, and where the profile lies: as the name says, else PRTG's custom sensor directory "
                  "(Custom Sensors\\ExeXml\\ of PRTG's folder)");
    return File();
  }
  Item("profile", Concat({Shown(location.ProfilePath), " (not at ", Shown(given), ": found by PRTG's directory search)"}));
  used = location.ProfilePath;
  return std::move(location.Profile);
}

// What the logon said before the library took over: where a destination's
// ini file gives the address in place of the profile's.
class TestEvents final : public SessionEvents {
 public:
  void DestinationFileUsed(std::string_view destination) override {
    Item("destination", Concat({"SapRfc.", Shown(destination), ", copied to SapRfc.ini: its address is used"}));
    std::fflush(stdout);
  }
  void ClassicDestinationFileNotUsed(std::string_view destination) override {
    Item("destination", Concat({"SapRfc.", Shown(destination), " not used: no DEST=", Shown(destination),
                                " in sapnwrfc.ini, direct logon"}));
    std::fflush(stdout);
  }
};

// Where the library's trace file ended before the logon: what a failed
// logon adds after it is this logon's account.
struct TraceMark {
  std::string path;
  long size = 0;
};

TraceMark MarkTrace(const RfcLibrary& library) {
  TraceMark mark{library.TraceFile(), 0};
  if (File trace = File::OpenRead(mark.path.c_str())) {
    if (std::fseek(trace.get(), 0, SEEK_END) == 0) mark.size = std::ftell(trace.get());
  }
  return mark;
}

// The last error message that the library wrote to its trace file since
// `mark`; empty when it wrote none.
std::string TraceAccountSince(const RfcLibrary& library, const TraceMark& mark) {
  std::string path = library.TraceFile();
  File trace = File::OpenRead(path.c_str());
  if (!trace || (path == mark.path && std::fseek(trace.get(), mark.size, SEEK_SET) != 0)) return {};
  FixedText<128> hint = TraceHint(trace.get());
  // A hint that quotes no message of the library only points at the file.
  if (hint == " - Please Check Trace-File !" || hint == " - Look for Trace-File") return {};
  return std::string(From(hint.view(), 3));
}

// A refused logon: the program's message 1011, what the library said (its
// reason, else the trace file's line of this logon), and the kind told from
// that.
int ReportRefusedLogon(const LogonRefused& refused, const SystemDefinition& system, std::string trace_account) {
  std::string account = refused.reason.empty() ? std::move(trace_account) : refused.reason;
  return Failed(LogonFailureMessage(system.Destination, ""), account, KindOfLogonFailure(account), system);
}

// The system whose test is running, for an RFC error that the classic
// library reports through its error handler, which ends the process.
const SystemDefinition* g_system = nullptr;

// An RFC error: its operation, the library's key and message. At the logon
// its kind is told from them; in the call's own operations the call failed;
// elsewhere (a table, a structure) the library failed on this side.
int ReportErrorBlock(const ErrorBlock& block, const SystemDefinition& system) {
  std::string account = LibraryReason(block.key, block.message);
  std::string_view operation = block.operation;
  FailureKind kind = FailureKind::kRfcError;
  if (Head(operation, 7) == "RfcOpen") kind = KindOfLogonFailure(account);
  if (Head(operation, 7) == "RfcCall" || Head(operation, 10) == "RfcReceive") kind = FailureKind::kCallFailed;
  return Failed(Concat({"RFC error in ", Shown(block.operation)}), account, kind, system);
}

void ReportFromErrorHandler(const ErrorBlock& block) {
  if (g_system) ReportErrorBlock(block, *g_system);
  // The handler's caller ends the process with status 1.
}

// While it lives, an RFC error that the library's error handler reports is
// reported as the test's failure with `system`.
class HandlerReports {
 public:
  explicit HandlerReports(const SystemDefinition& system) {
    g_system = &system;
    SetErrorBlockReporter(&ReportFromErrorHandler);
  }
  ~HandlerReports() {
    SetErrorBlockReporter(nullptr);
    g_system = nullptr;
  }
  HandlerReports(const HandlerReports&) = delete;
  HandlerReports& operator=(const HandlerReports&) = delete;
};

std::uint32_t MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
}

std::string Milliseconds(std::uint32_t ms) { return std::to_string(ms) + " ms"; }

int Test(const char* name) {
  Request request;
  std::string used;
  File profile = FindProfile(name, request, used);
  if (!profile) return 1;
  SystemDefinition system;
  std::vector<ProfileFault> faults = ReadSystemDefinition(std::move(profile), ReadMode::kStrict, system);
  if (!faults.empty()) {
    Item("result", ProfileFaultMessage(faults.front().code, Shown(request.ProfileName)));
    for (const ProfileFault& fault : faults) Item("fault", Shown(fault.detail));
    Item("check", Concat({"PoolMetricsProfile check ", Shown(used), " says every fault"}));
    return 1;
  }

  HandlerReports reports(system);
  std::string failure;
  RfcLibrary* library = LoadRfcLibrary(&failure);
  if (!library) {
    Item("result", failure);
    Item("check", "an RFC library beside PoolMetrics (and this command): the classic one or the NetWeaver RFC SDK's");
    return 1;
  }
  std::string identification = library->Identification();
  Item("RFC library", identification.empty() ? library->FileName() : identification);
  if (system.Mode == "R/2") {
    Item("gateway host", Shown(system.Gwhost));
    Item("gateway service", Shown(system.Gwservice));
  } else {
    Item("host", Shown(system.Hostname));
    Item("system number", Shown(system.Sysnr));
  }
  Item("client", Shown(system.Client));
  Item("user", Shown(system.User));
  std::fflush(stdout);  // what the library prints itself comes after these lines

  TraceMark mark = MarkTrace(*library);
  TestEvents events;
  auto started = std::chrono::steady_clock::now();
  Deadline none(started);  // the test waits as long as the system lets it
  SystemOutcome outcome = QuerySystem(*library, system, ParameterValues{}, events, none);
  std::uint32_t elapsed = MillisecondsSince(started);
  return std::visit(
      Overloaded{
          [&](Answered& answered) {
            Item("logon time", Milliseconds(answered.times.logon_ms));
            Item("call time", Milliseconds(answered.times.call_ms));
            Item("result", "SAPTUNE_GET_SUMMARY_STATISTIC answered");
            std::remove(library->TraceFile().c_str());  // as a successful run does
            return 0;
          },
          [&](CallFailed& failed) {
            Item("logon time", Milliseconds(failed.times.logon_ms));
            Item("call time", Milliseconds(failed.times.call_ms));
            // The program's message, with the library's account or the
            // trace file's hint as a run gives it.
            std::string message = CallFailureMessage(failed.failure);
            if (failed.failure.library_message) {
              message += " - " + *failed.failure.library_message;
            } else {
              File trace = File::OpenRead(library->TraceFile().c_str());
              message += std::string_view(TraceHint(trace.get()));
            }
            return Failed(Shown(message), "", FailureKind::kCallFailed, system);
          },
          [&](LogonRefused& refused) {
            Item("logon time", Milliseconds(elapsed));
            return ReportRefusedLogon(refused, system, TraceAccountSince(*library, mark));
          },
          [&](NotTried& not_tried) {
            if (!not_tried.unsupported_mode) return ReportRefusedLogon(LogonRefused{}, system, "");
            Item("result", UnsupportedModeMessage(system.Destination, system.Mode, library->FileName()));
            Item("cause", "the NetWeaver RFC library has no R/2 connection");
            Item("check", "Mode.......: R/3 for an application server, or the classic RFC library beside PoolMetrics");
            return 1;
          },
          [&](ErrorBlock& block) { return ReportErrorBlock(block, system); },
      },
      outcome);
}

}  // namespace

int TestCommand(const char* name) {
  try {
    return Test(name);
  } catch (const RunFailure& failure) {
    Item("result", failure.block() ? failure.block()->message : failure.message());
    return 1;
  }
}

}  // namespace poolmetrics
