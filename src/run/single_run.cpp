#include "run/single_run.h"

#include <cstdio>

#include "base/console.h"
#include "output/document_writer.h"
#include "output/sensor_evaluation.h"
#include "rfc/trace_hint.h"
#include "run/profile_location.h"
#include "run/prtg_credentials.h"
#include "run/run_failure.h"
#include "run/answer_store.h"
#include "run/run_library.h"

namespace poolmetrics {

int RunSingleRequest(const Request& request, const Deadline& deadline) {
  Progress progress(request.ShowProgress, request.StartTime);
  SingleRunDeadline last_words(deadline);
  SystemDefinition system;
  RfcLibrary* library = nullptr;  // none when a kept answer serves the run
  SystemOutcome outcome = [&]() -> SystemOutcome {
    DeadlineWatch watch(deadline, last_words, WatchdogStart::kBeforeWaiting);
    MarkQueryStep(QueryStep::kBeforeLogon, request.ProfileName);
    ProfileLocation location = LocateProfile(request);
    std::optional<CredentialSection> credentials = request.Params.Values.run.credentials;
    std::vector<ProfileFault> faults =
        ReadSystemDefinition(std::move(location.Profile), ReadMode::kStrict, system,
                             credentials ? UserAndPassword::kFromElsewhere : UserAndPassword::kFromProfile);
    if (!faults.empty()) Fail(ProfileFaultMessage(faults.front().code, request.ProfileName));
    std::optional<LogonCredentials> given;
    if (credentials) {
      given = ReadPrtgCredentials(*credentials);
      TakeUserAndPassword(system, given->user, given->password);
    }
    // A request without a sensor type would print an empty document that the
    // monitoring host takes for a success.
    if (request.Params.Sensors.none()) Fail(NoSensorTypeMessage());
    MarkQueryStep(QueryStep::kBeforeLogon, system.Destination);
    // The answers that runs share, before any library is loaded: a kept
    // answer serves without one. Waiting for the key's turn counts as the
    // logon.
    std::optional<AnswerStore::Turn> turn;
    std::string unused;
    auto before_waiting = [&] {
      watch.WaitAhead();
      MarkQueryStep(QueryStep::kLogon, system.Destination);
    };
    if (std::optional<unsigned> seconds = request.Params.Values.run.cache) {
      if (std::optional<AnswerStore> store = AnswerStore::Open(&unused)) {
        if (std::optional<KeptAnswer> kept = store->Consult(AnswerKey(LogonOf(system, request.Params.Values)),
                                                            *seconds, turn, &unused, before_waiting)) {
          progress.SingleRunStarts(request.ProfileName, system, request.Params.ParameterText());
          LogonEvents(progress.shown()).AnswerKept(kept->fetched_time);
          return std::move(kept->outcome);
        }
      }
    }
    MarkQueryStep(QueryStep::kBeforeLogon, system.Destination);
    library = &RunLibrary();
    if (given) CheckCredentialCarriage(*credentials, *given, *library);
    // The logon and the call can wait as long as the SAP system lets them;
    // the query marks them.
    watch.WaitAhead();
    progress.SingleRunStarts(request.ProfileName, system, request.Params.ParameterText());
    if (!unused.empty()) LogonEvents(progress.shown()).AnswerStoreUnused(unused);
    SystemOutcome queried = QuerySingleSystem(request, system, *library, progress);
    if (turn) turn->Keep(queried, library->TraceFile());
    return queried;
  }();  // the system answered (or failed) in time: what follows only prints
  return PrintSingleRun(request, system, library, std::move(outcome), progress);
}

SystemOutcome QuerySingleSystem(const Request& request, const SystemDefinition& system, RfcLibrary& library,
                                const Progress& progress) {
  progress.LibraryUsed(library);
  LogonEvents events(progress.shown());
  return QuerySystem(library, system, request.Params.Values, events);
}

int PrintSingleRun(const Request& request, const SystemDefinition& system, RfcLibrary* library,
                   SystemOutcome outcome, const Progress& progress) {
  const ParameterValues& values = request.Params.Values;
  return std::visit(
      Overloaded{
          [&](Answered& answered) {
            std::unique_ptr<DocumentWriter> document = MakeDocumentWriter(request.Mode, values.channel);
            WriteSensorSections(*document, *answered.statistic, request.Params.Sensors, system.Destination, false,
                                values.run.times ? std::optional<ResponseTimes>(answered.times) : std::nullopt,
                                values.run.limits && IsXmlMode(request.Mode));
            Print(document->text());
            // A kept answer's run touched no trace file.
            if (library) std::remove(library->TraceFile().c_str());
            progress.RunDone();
            return 0;
          },
          [&](CallFailed& failed) -> int {
            // The library's own account of the failure where it gives one;
            // else its trace file explains it, which stays on disk.
            if (failed.failure.library_message)
              Fail(Concat({CallFailureMessage(failed.failure), " - ", *failed.failure.library_message}));
            if (failed.trace_hint) Fail(CallFailureMessage(failed.failure) + *failed.trace_hint);
            File trace = File::OpenRead(library->TraceFile().c_str());
            Fail(CallFailureMessage(failed.failure) + std::string(TraceHint(trace.get())));
          },
          [&](LogonRefused& refused) -> int { Fail(LogonFailureMessage(system.Destination, refused.reason)); },
          [&](NotTried& not_tried) -> int {
            if (not_tried.unsupported_mode)
              Fail(UnsupportedModeMessage(system.Destination, system.Mode, library ? library->FileName() : ""));
            Fail(LogonFailureMessage(system.Destination, ""));
          },
          [&](ErrorBlock& block) -> int { throw RunFailure(std::move(block)); },
      },
      outcome);
}

}  // namespace poolmetrics
