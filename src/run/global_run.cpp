#include "run/global_run.h"

#include <string>

#include "run/deadline.h"
#include "run/listed_system.h"
#include "run/listing_output.h"
#include "run/parallel_run.h"
#include "run/run_failure.h"

namespace poolmetrics {

int RunSystemListing(RunState& state, RfcLibrary& library, Progress& progress) {
  progress.LibraryUsed(library);
  ListingOutput output(state, progress);
  unsigned parallel = state.request.Values.parallel.value_or(1);
  if (parallel > 1) return RunListingInParallel(state, output, parallel);

  // The deadline is the loop's now: whatever system it is in, the run ends
  // with the summary of those that finished. The settler stands the watchdog
  // down on every way out, before `output` goes.
  SetDeadlineHandler(&output);
  DeadlineSettler settler;
  std::string_view listing = state.ServerListing;
  while (!listing.empty()) {
    ListedSystemOutcome outcome = QueryListedSystem(
        state, TakeNextName(listing), [&]() -> RfcLibrary& { return library; },
        [&](const std::string& line, const std::string&) { output.InProgress(line); });
    if (outcome.block) {
      SettleDeadline();
      throw RunFailure(std::move(*outcome.block));
    }
    output.Finished(outcome);
  }
  SettleDeadline();
  output.End();
  return 0;
}

}  // namespace poolmetrics
