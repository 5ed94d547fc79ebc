#include "global/global_run.h"

#include "global/listing_loop.h"
#include "global/listing_output.h"
#include "global/parallel_run.h"
#include "run/progress.h"
#include "run/run_library.h"

namespace poolmetrics {

GlobalRun ReadGlobalRun(const Request& request) {
  GlobalRun run;
  run.location = LocateProfile(request);
  run.allocation = ReadGlobalSensorFile(request, run.location);
  // Before the library is loaded and the document opened: a fault here is
  // one clean error document for the whole run.
  if (std::optional<CredentialSection> section = run.allocation.parameters.Values.run.credentials)
    run.credentials = ReadPrtgCredentials(*section);
  return run;
}

ListingTask TaskOf(const Request& request, const GlobalRun& run) {
  ListingTask task;
  task.mode = request.Mode;
  task.label_kind = run.allocation.label_kind;
  task.sensors = run.allocation.parameters.Sensors;
  task.values = run.allocation.parameters.Values;
  task.show_progress = request.ShowProgress;
  task.profile_directory = std::string(run.location.ProfileDirectory);
  task.credentials = run.credentials;
  return task;
}

int RunGlobalRequest(const Request& request, const GlobalRun& run, Deadline& deadline) {
  Progress progress(request.ShowProgress, request.StartTime);
  const Parameters& parameters = run.allocation.parameters;
  progress.GlobalRunStarts(parameters.ParameterText());
  // Loaded before the document's opening: a missing library is one clean
  // error document, not a broken one.
  RfcLibrary& library = RunLibrary();
  if (run.credentials) CheckCredentialCarriage(*parameters.Values.run.credentials, *run.credentials, library);
  progress.LibraryUsed(library);
  std::vector<std::string_view> names = run.allocation.listing.Names();
  ListingTask task = TaskOf(request, run);
  ListingOutput output(task, run.allocation.item_name, static_cast<unsigned>(names.size()), progress);
  if (task.values.run.limits && IsXmlMode(request.Mode)) output.ShowFailuresAsChannel();
  deadline.AnswerWith(output);
  unsigned parallel = parameters.Values.run.parallel.value_or(1);
  if (parallel > 1) return RunListingInParallel(task, names, output, parallel, library, deadline);
  return RunSystemListing(task, names, output, library, deadline);
}

}  // namespace poolmetrics
