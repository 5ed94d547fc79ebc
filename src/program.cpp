#include "program.h"

#include <chrono>
#include <optional>
#include <variant>

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

// A child's task, as its parent wrote it; only a parent of this program's
// own writes that command line.
ChildTask ReadTaskOfChild(const std::string& wire) {
  std::optional<ChildTask> task = ReadChildTask(wire);
  if (!task) Fail("Error 1001: Parameter for Profile-Name is missing !");
  // The parent has checked them in the same environment.
  if (std::optional<CredentialSection> section = task->listing.values.run.credentials)
    task->listing.credentials = ReadPrtgCredentials(*section);
  return *task;
}

// A request, read as far as its deadline needs: a single run needs nothing
// more, a global run its file (whose allocation may set the time limit), a
// child its task (which gives the time left).
using ReadRun = std::variant<std::monostate, GlobalRun, ChildTask>;

ReadRun ReadRunOf(const Request& request) {
  if (request.ChildTask) return ReadTaskOfChild(*request.ChildTask);
  if (request.GlobalMode) return ReadGlobalRun(request);
  return std::monostate{};
}

RunKind KindOf(const ReadRun& run) {
  if (std::holds_alternative<ChildTask>(run)) return RunKind::kChild;
  if (std::holds_alternative<GlobalRun>(run)) return RunKind::kListing;
  return RunKind::kSingle;
}

std::optional<std::chrono::milliseconds> TimeLimitOf(const ReadRun& run, const Request& request) {
  if (const ChildTask* task = std::get_if<ChildTask>(&run)) {
    if (!task->milliseconds_left) return std::nullopt;
    return std::chrono::milliseconds(*task->milliseconds_left);
  }
  // A global run's limit may come from its allocation text.
  const GlobalRun* global = std::get_if<GlobalRun>(&run);
  const Parameters& parameters = global ? global->allocation.parameters : request.Params;
  std::optional<unsigned> seconds = RunTimeoutSeconds(parameters.Values.run.timeout, request.Mode);
  if (!seconds) return std::nullopt;
  return std::chrono::seconds(*seconds);
}

int RunRequest(const Request& request, Deadline& deadline) {
  ReadRun run = ReadRunOf(request);
  deadline.Arm(KindOf(run), TimeLimitOf(run, request));
  if (const ChildTask* task = std::get_if<ChildTask>(&run))
    return RunListedSystemChild(task->listing, RunLibrary(), deadline);
  if (const GlobalRun* global = std::get_if<GlobalRun>(&run)) return RunGlobalRequest(request, *global, deadline);
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
