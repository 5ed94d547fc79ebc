#include "global/listing_loop.h"

#include <optional>
#include <string>

#include "global/listed_system.h"
#include "run/run_failure.h"

namespace poolmetrics {

int RunSystemListing(const ListingTask& task, const std::vector<std::string_view>& names, ListingOutput& output,
                     RfcLibrary& library, const Deadline& deadline) {
  std::optional<ErrorBlock> block;
  {
    // The deadline is the loop's now: whatever system it is in, the run
    // ends with the summary of those that finished.
    DeadlineWatch watch(deadline, output);
    for (std::string_view name : names) {
      ListedSystemOutcome outcome = QueryListedSystem(
          task, name, library, [&](const std::string& line, const std::string&) { output.InProgress(line); });
      if (outcome.block) {
        block = std::move(outcome.block);
        break;
      }
      output.Finished(outcome);
    }
  }  // settled: the run's outcome is decided
  if (block) throw RunFailure(std::move(*block));
  output.End();
  return 0;
}

}  // namespace poolmetrics
