#include "run/program.h"

#include "output/document_writer.h"
#include "output/sensor_evaluation.h"
#include "rfc/session.h"
#include "profile/system_definition.h"
#include "run/global_run.h"
#include "run/command_line.h"
#include "run/deadline.h"
#include "base/console.h"
#include "run/global_sensor_file.h"
#include "run/parallel_run.h"
#include "run/profile_location.h"
#include "run/progress.h"
#include "run/run_failure.h"
#include "run/run_flow.h"
#include "base/time_of_day.h"

namespace poolmetrics {
namespace {

// The RFC library, loaded only when a run is about to need it: every error
// before then works without one.
RfcLibrary& Library() {
  std::string failure;
  RfcLibrary* library = LoadRfcLibrary(&failure);
  if (!library) Fail(failure);
  return *library;
}

}  // namespace

int RunProgram(int argc, const char* const* argv) {
  // The deadline counts from the start of the run.
  const Clock::time_point started = Clock::now();
  RunState state;
  state.StartTime = TimeOfDay();
  state.request.Mode = CallerModeFromProgramName(argc > 0 && argv[0] ? argv[0] : "");
  // Until a global run's loop takes the deadline over, its passing ends the
  // run with message 1033. Declared before the settler, which stands the
  // watchdog down before the handler goes.
  SingleRunDeadline deadline;
  DeadlineSettler settler;
  try {
    // A child of a parallel global run: it takes listed systems one at a time.
    if (std::optional<ChildTask> task = ReadChildArguments(argc, argv)) return RunListedSystemChild(*task, Library);
    ReadCommandLine(state, argc, argv);
    Progress progress(state.request.ShowProgress, state.StartTime);
    auto arm = [&] {
      std::optional<unsigned> seconds = RunTimeoutSeconds(state.request.Values.timeout, state.request.Mode);
      if (!seconds) return;
      state.Deadline = started + std::chrono::seconds(*seconds);
      deadline.Arm(started, *seconds);
    };
    MarkQueryStep(QueryStep::kLogon, state.ProfileName);
    // A global run's deadline may come from its allocation text.
    if (!state.request.GlobalMode) arm();
    LocateProfile(state);
    if (state.request.GlobalMode) {
      ReadGlobalSensorFile(state, argc > 2 ? argv[2] : "");
      StartGlobalRun(state, progress);
      arm();
      // A missing library is one clean error document, not a broken one.
      return RunSystemListing(state, Library(), progress);
    }
    std::vector<ProfileFault> faults = ReadSystemDefinition(std::move(state.Profile), ReadMode::kStrict, state.System);
    if (!faults.empty()) Fail(ProfileFaultMessage(faults.front().code, state.ProfileName));
    // A request without a sensor type would print an empty document that the
    // monitoring host takes for a success.
    if (state.request.Sensors.none()) Fail(NoSensorTypeMessage());
    MarkQueryStep(QueryStep::kLogon, state.System.Destination);
    return RunOneSystem(state, Library(), progress);
  } catch (const RunFailure& failure) {
    // The run's outcome is this failure, found in time.
    SettleDeadline();
    if (failure.block()) {
      Print(ErrorBlockText(*failure.block()));
      return 1;
    }
    Print(ErrorDocument(failure.message()));
    return 2;
  }
}

}  // namespace poolmetrics
