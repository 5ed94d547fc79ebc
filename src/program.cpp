#include "program.h"

#include <optional>

#include "base/console.h"
#include "global/child_run.h"
#include "global/child_task.h"
#include "global/global_run.h"
#include "output/document_writer.h"
#include "rfc/error_block.h"
#include "run/command_line.h"
#include "run/deadline.h"
#include "run/prtg_credentials.h"
#include "run/run_failure.h"
#include "run/rfc_error_report.h"
#include "run/run_library.h"
#include "run/single_run.h"
#include "run/usage.h"

namespace poolmetrics {
namespace {

// Help and version for a person at a console: plain text, status 0.
int RunConsoleRequest(ConsoleRequest console) {
  if (console == ConsoleRequest::kHelp) {
    Print(UsageText());
    return 0;
  }
  std::string failure;
  const RfcLibrary* library = LoadRfcLibrary(&failure);
  std::string named = failure;
  if (library) {
    // The classic library has no identification of its own.
    named = library->Identification();
    if (named.empty()) named = library->FileName() + ", classic RFC library";
  }
  Print(VersionText(named));
  return 0;
}

int RunRequest(const Request& request, Deadline& deadline) {
  if (request.ChildTask) {
    std::optional<ChildTask> task = ReadChildTask(*request.ChildTask);
    // Only a parent of this program's own writes this command line.
    if (!task) Fail("Error 1001: Parameter for Profile-Name is missing !");
    deadline.ArmMilliseconds(task->milliseconds_left);
    // The parent has checked them in the same environment.
    if (std::optional<CredentialSection> section = task->listing.values.run.credentials)
      task->listing.credentials = ReadPrtgCredentials(*section);
    return RunListedSystemChild(task->listing, RunLibrary(), deadline);
  }
  if (request.GlobalMode) {
    // A global run's deadline may come from its allocation text.
    GlobalRun run = ReadGlobalRun(request);
    deadline.Arm(RunTimeoutSeconds(run.allocation.parameters.Values.run.timeout, request.Mode));
    return RunGlobalRequest(request, run, deadline);
  }
  deadline.Arm(RunTimeoutSeconds(request.Params.Values.run.timeout, request.Mode));
  return RunSingleRequest(request, deadline);
}

}  // namespace

int RunProgram(int argc, const char* const* argv) {
  // The deadline counts from the start of the run; it lives until the
  // process ends, so the watchdog never asks after one that is gone.
  static std::optional<Deadline> deadline;
  deadline.emplace(Clock::now());
  try {
    const Request request = ReadCommandLine(argc, argv);
    if (request.Console != ConsoleRequest::kNone) return RunConsoleRequest(request.Console);
    // PRTG reads standard output as one XML document, strictly: there the
    // document stands alone. (A child writes for its parent, which decides.)
    if (request.Mode == CallerMode::kExeXml && !request.ChildTask) {
      SetDocumentAlone();
      SetErrorBlockReporter(&ReportBesideErrorDocument);
    }
    return RunRequest(request, *deadline);
  } catch (const RunFailure& failure) {
    // Every watch of the deadline has ended on the way here: the run's
    // outcome is this failure.
    if (failure.block()) {
      ReportErrorBlock(*failure.block());
      return 1;
    }
    // In place of whatever the run had begun of its document.
    PrintInstead(ErrorDocument(failure.message()));
    return 2;
  }
}

}  // namespace poolmetrics
