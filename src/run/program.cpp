#include "run/program.h"

#include "output/document_writer.h"
#include "output/sensor_evaluation.h"
#include "rfc/session.h"
#include "profile/system_definition.h"
#include "run/global_run.h"
#include "run/command_line.h"
#include "base/console.h"
#include "run/global_sensor_file.h"
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
  RunState state;
  state.StartTime = TimeOfDay();
  state.request.Mode = CallerModeFromProgramName(argc > 0 && argv[0] ? argv[0] : "");
  try {
    ReadCommandLine(state, argc, argv);
    Progress progress(state.request.ShowProgress, state.StartTime);
    LocateProfile(state);
    if (state.request.GlobalMode) {
      ReadGlobalSensorFile(state, argc > 2 ? argv[2] : "");
      StartGlobalRun(state, progress);
      // A missing library is one clean error document, not a broken one.
      return RunSystemListing(state, Library(), progress);
    }
    std::vector<ProfileFault> faults = ReadSystemDefinition(std::move(state.Profile), ReadMode::kStrict, state.System);
    if (!faults.empty()) Fail(ProfileFaultMessage(faults.front().code, state.ProfileName));
    // A request without a sensor type would print an empty document that the
    // monitoring host takes for a success.
    if (state.request.Sensors.none()) Fail(NoSensorTypeMessage());
    return RunOneSystem(state, Library(), progress);
  } catch (const RunFailure& failure) {
    if (failure.block()) {
      Print(ErrorBlockText(*failure.block()));
      return 1;
    }
    Print(ErrorDocument(failure.message()));
    return 2;
  }
}

}  // namespace poolmetrics
