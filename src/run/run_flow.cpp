#include "run/run_flow.h"

#include <cstdio>

#include "output/document_writer.h"
#include "output/sensor_evaluation.h"
#include "rfc/session.h"
#include "rfc/trace_hint.h"
#include "run/console.h"
#include "run/progress.h"
#include "run/query_system.h"
#include "run/run_failure.h"
#include "run/time_of_day.h"

namespace poolmetrics {
namespace {

// The parameters as the "State=Executing" line shows them: without the
// progress marks, and "(No Parameters)" when nothing is left.
void ShortenParameterText(RunState& state) {
  std::string_view text = state.ParameterText;
  text = text.substr(0, text.find('#'));
  text = text.substr(0, text.find('@'));
  if (text == "(Parameters " || text == "(No ") text = {};
  state.ParameterText.truncate(text.size());
  if (state.ParameterText.empty()) state.ParameterText = "(No Parameters)";
}

void PrintProgressLines(RunState& state) {
  PrintProgressLine(state.ProgressLine);  // the header line
  FixedText<9> now = TimeOfDay();
  state.ProgressLine = SystemLine(now, state.ProfileName, state.System) + " State=Processing";
  PrintProgressLine(state.ProgressLine);
  ShortenParameterText(state);
  state.ProgressLine = Concat({"* ", now, " ", kProgramName, " - ", state.ParameterText, " State=Executing"});
  PrintProgressLine(state.ProgressLine);
}

}  // namespace

int RunOneSystem(RunState& state) {
  // A request without a sensor type would print an empty document that the
  // monitoring host takes for a success.
  if (!NamesSensorType(state.ParameterKeys)) Fail(NoSensorTypeMessage());
  std::string failure;
  RfcLibrary* library = LoadRfcLibrary(&failure);
  if (!library) Fail(failure);
  if (state.ShowProgress) {
    PrintProgressLines(state);
    PrintLibraryLine(*library);
  }

  ProgressEvents events(state.ShowProgress);
  SystemResult result = QuerySystem(*library, state.System, true, state.Values, events);
  if (result.block) throw RunFailure(std::move(*result.block));
  if (result.unsupported_mode)
    Fail(UnsupportedModeMessage(state.System.Destination, state.System.Mode, library->FileName()));
  if (!result.logged_on) Fail(LogonFailureMessage(state.System.Destination));
  if (result.failure) {
    // The library's own account of the failure where it gives one; else its
    // trace file explains it, which stays on disk.
    if (result.failure->library_message)
      Fail(Concat({CallFailureMessage(*result.failure), " - ", *result.failure->library_message}));
    File trace = File::OpenRead(library->TraceFile().c_str());
    Fail(CallFailureMessage(*result.failure) + std::string(TraceHint(trace.get())));
  }

  std::unique_ptr<DocumentWriter> document = MakeDocumentWriter(state.Mode, state.Values.channel);
  WriteSensorSections(*document, *result.statistic, state.ParameterKeys, state.System.Destination, false);
  Print(document->text());
  std::remove(library->TraceFile().c_str());
  if (state.ShowProgress) PrintDoneLine();
  return 0;
}

}  // namespace poolmetrics
