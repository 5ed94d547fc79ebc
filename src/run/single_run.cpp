#include "run/single_run.h"

#include <cstdio>

#include "base/console.h"
#include "output/document_writer.h"
#include "output/sensor_evaluation.h"
#include "rfc/trace_hint.h"
#include "run/profile_location.h"
#include "run/run_failure.h"
#include "run/run_library.h"

namespace poolmetrics {

int RunSingleRequest(const Request& request, const Deadline& deadline) {
  Progress progress(request.ShowProgress, request.StartTime);
  SingleRunDeadline last_words(deadline);
  SystemDefinition system;
  RfcLibrary* library = nullptr;
  SystemOutcome outcome = [&] {
    DeadlineWatch watch(deadline, last_words);
    MarkQueryStep(QueryStep::kLogon, request.ProfileName);
    ProfileLocation location = LocateProfile(request);
    std::vector<ProfileFault> faults = ReadSystemDefinition(std::move(location.Profile), ReadMode::kStrict, system);
    if (!faults.empty()) Fail(ProfileFaultMessage(faults.front().code, request.ProfileName));
    // A request without a sensor type would print an empty document that the
    // monitoring host takes for a success.
    if (request.Params.Sensors.none()) Fail(NoSensorTypeMessage());
    MarkQueryStep(QueryStep::kLogon, system.Destination);
    library = &RunLibrary();
    return QuerySingleSystem(request, system, *library, progress);
  }();  // the system answered (or failed) in time: what follows only prints
  return PrintSingleRun(request, system, *library, std::move(outcome), progress);
}

SystemOutcome QuerySingleSystem(const Request& request, const SystemDefinition& system, RfcLibrary& library,
                                const Progress& progress) {
  progress.SingleRunStarts(request.ProfileName, system, request.Params.ParameterText);
  progress.LibraryUsed(library);
  LogonEvents events(progress.shown());
  return QuerySystem(library, system, request.Params.Values, events);
}

int PrintSingleRun(const Request& request, const SystemDefinition& system, RfcLibrary& library,
                   SystemOutcome outcome, const Progress& progress) {
  const ParameterValues& values = request.Params.Values;
  return std::visit(
      Overloaded{
          [&](Answered& answered) {
            std::unique_ptr<DocumentWriter> document = MakeDocumentWriter(request.Mode, values.channel);
            WriteSensorSections(*document, answered.statistic, request.Params.Sensors, system.Destination, false,
                                values.run.times ? std::optional<ResponseTimes>(answered.times) : std::nullopt);
            Print(document->text());
            std::remove(library.TraceFile().c_str());
            progress.RunDone();
            return 0;
          },
          [&](CallFailed& failed) -> int {
            // The library's own account of the failure where it gives one;
            // else its trace file explains it, which stays on disk.
            if (failed.failure.library_message)
              Fail(Concat({CallFailureMessage(failed.failure), " - ", *failed.failure.library_message}));
            File trace = File::OpenRead(library.TraceFile().c_str());
            Fail(CallFailureMessage(failed.failure) + std::string(TraceHint(trace.get())));
          },
          [&](LogonRefused&) -> int { Fail(LogonFailureMessage(system.Destination)); },
          [&](NotTried& not_tried) -> int {
            if (not_tried.unsupported_mode)
              Fail(UnsupportedModeMessage(system.Destination, system.Mode, library.FileName()));
            Fail(LogonFailureMessage(system.Destination));
          },
          [&](ErrorBlock& block) -> int { throw RunFailure(std::move(block)); },
      },
      outcome);
}

}  // namespace poolmetrics
