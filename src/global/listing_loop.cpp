#include "global/listing_loop.h"

#include <optional>
#include <string>

#include "global/listed_system.h"
#include "run/run_failure.h"

namespace poolmetrics {

int RunSystemListing(const ListingTask& task, const std::vector<std::string_view>& names, ListingOutput& output,
                     RfcLibrary& library, Deadline& deadline) {
  for (std::string_view name : names) {
    ListedSystem system = QueryListedSystem(
        task, name, library, [&](const std::string& line, const std::string&) { output.InProgress(line); },
        deadline);
    if (auto* block = std::get_if<ErrorBlock>(&system.outcome)) throw RunFailure(std::move(*block));
    output.Finished(system);
  }
  output.End();
  return 0;
}

}  // namespace poolmetrics
