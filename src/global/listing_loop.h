// RunSystemListing: the sequential loop of a global run over the systems of
// its listing, one after the other in listing order.
#pragma once

#include <string_view>
#include <vector>

#include "global/listing_output.h"
#include "global/listing_task.h"
#include "rfc/session.h"
#include "run/deadline.h"

namespace poolmetrics {

// Queries every listed system in `names` through `library` and prints
// through `output`. Returns exit status 0, however many systems failed; an
// RFC error that the program found itself ends the run with its block
// (RunFailure), after the lines printed so far. Each system is queried in
// steps of `deadline`, whose last words are the output's summary of the
// systems that finished (status 0).
int RunSystemListing(const ListingTask& task, const std::vector<std::string_view>& names, ListingOutput& output,
                     RfcLibrary& library, Deadline& deadline);

}  // namespace poolmetrics
