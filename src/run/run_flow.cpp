#include "run/run_flow.h"

#include <cstdio>

#include "output/document_writer.h"
#include "output/sensor_evaluation.h"
#include "rfc/session.h"
#include "rfc/trace_hint.h"
#include "base/console.h"
#include "run/deadline.h"
#include "run/progress.h"
#include "run/query_system.h"
#include "run/run_failure.h"

namespace poolmetrics {
int RunOneSystem(RunState& state, RfcLibrary& library, const Progress& progress) {
  progress.SingleRunStarts(state.ProfileName, state.System, state.request.ParameterText);

  progress.LibraryUsed(library);

  LogonEvents events(progress.shown());
  SystemResult result = QuerySystem(library, state.System, true, state.request.Values, events);
  // The system answered (or failed) in time: what follows only prints.
  SettleDeadline();
  if (result.block) throw RunFailure(std::move(*result.block));
  if (result.unsupported_mode)
    Fail(UnsupportedModeMessage(state.System.Destination, state.System.Mode, library.FileName()));
  if (!result.logged_on) Fail(LogonFailureMessage(state.System.Destination));
  if (result.failure) {
    // The library's own account of the failure where it gives one; else its
    // trace file explains it, which stays on disk.
    if (result.failure->library_message)
      Fail(Concat({CallFailureMessage(*result.failure), " - ", *result.failure->library_message}));
    File trace = File::OpenRead(library.TraceFile().c_str());
    Fail(CallFailureMessage(*result.failure) + std::string(TraceHint(trace.get())));
  }

  std::unique_ptr<DocumentWriter> document = MakeDocumentWriter(state.request.Mode, state.request.Values.channel);
  WriteSensorSections(*document, *result.statistic, state.request.Sensors, state.System.Destination, false,
                      state.request.Values.times ? std::optional<ResponseTimes>(result.times) : std::nullopt);
  Print(document->text());
  std::remove(library.TraceFile().c_str());
  progress.RunDone();
  return 0;
}

}  // namespace poolmetrics
