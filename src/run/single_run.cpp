#include "run/single_run.h"

#include <cstdio>

#include "base/console.h"
#include "output/document_writer.h"
#include "output/sensor_evaluation.h"
#include "rfc/trace_hint.h"
#include "run/profile_location.h"
#include "run/prtg_credentials.h"
#include "run/run_failure.h"
#include "run/answer_cache.h"
#include "run/run_library.h"

namespace poolmetrics {

namespace {

// The single run's part in a query through the cache: its start lines come
// before the answer's, and the library is loaded only for a query.
class SingleRunCaller final : public CacheCaller {
 public:
  SingleRunCaller(const Request& request, const SystemDefinition& system, const Progress& progress,
                  const std::optional<LogonCredentials>& credentials, Deadline& deadline)
      : request_(request),
        system_(system),
        progress_(progress),
        credentials_(credentials),
        deadline_(deadline),
        events_(progress.shown()) {}

  void Served(std::string_view fetched_time) override {
    Starts();
    events_.CachedAnswerServed(fetched_time);
  }

  RfcLibrary& Querying(std::string_view unused) override {
    library_ = &RunLibrary();
    if (credentials_) CheckCredentialCarriage(*request_.Params.Values.run.credentials, *credentials_, *library_);
    {
      // A deadline passed by now is answered before anything is printed.
      Deadline::Step loaded(deadline_, QueryStep::kBeforeLogon, system_.Destination);
    }
    Starts();
    if (!unused.empty()) events_.CacheUnused(unused);
    progress_.LibraryUsed(*library_);
    return *library_;
  }

  SessionEvents& events() override { return events_; }

  // The library the system was queried through; none when a cached answer
  // served.
  RfcLibrary* library() const { return library_; }

 private:
  void Starts() const { progress_.SingleRunStarts(request_.ProfileName, system_, request_.Params.ParameterText()); }

  const Request& request_;
  const SystemDefinition& system_;
  const Progress& progress_;
  const std::optional<LogonCredentials>& credentials_;
  Deadline& deadline_;
  LogonEvents events_;
  RfcLibrary* library_ = nullptr;
};

// Reads the request's profile into `system`, with PRTG's user and password
// in place of the profile's when "CREDENTIALS=" asks for them (returned);
// every fault ends the run.
std::optional<LogonCredentials> ReadSingleSystem(const Request& request, SystemDefinition& system) {
  ProfileLocation location = LocateProfile(request);
  std::optional<CredentialSection> section = request.Params.Values.run.credentials;
  std::vector<ProfileFault> faults =
      ReadSystemDefinition(std::move(location.Profile), ReadMode::kStrict, system,
                           section ? UserAndPassword::kFromElsewhere : UserAndPassword::kFromProfile);
  if (!faults.empty()) Fail(ProfileFaultMessage(faults.front().code, request.ProfileName));
  std::optional<LogonCredentials> given;
  if (section) {
    given = ReadPrtgCredentials(*section);
    TakeUserAndPassword(system, given->user, given->password);
  }
  // A request without a sensor type would print an empty document that the
  // monitoring host takes for a success.
  if (request.Params.Sensors.none()) Fail(NoSensorTypeMessage());
  return given;
}

}  // namespace

int RunSingleRequest(const Request& request, Deadline& deadline) {
  Progress progress(request.ShowProgress, request.StartTime);
  SystemDefinition system;
  std::optional<LogonCredentials> credentials;
  SingleRunCaller caller(request, system, progress, credentials, deadline);
  SystemOutcome outcome = [&] {
    Deadline::Step reading(deadline, QueryStep::kBeforeLogon, request.ProfileName);
    credentials = ReadSingleSystem(request, system);
    Deadline::Step asking(deadline, QueryStep::kBeforeLogon, system.Destination);
    return QueryThroughCache(system, request.Params.Values, true, caller, deadline);
  }();  // the system answered (or failed) in time: what follows only prints
  return PrintSingleRun(request, system, caller.library(), std::move(outcome), progress);
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
