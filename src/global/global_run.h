// A global run: one sensor applied to every system of a server listing,
// closed with a summary. The entry reads it, arms the deadline (a global
// file's allocation may set it), then runs it. The request stays as the
// command line gave it: whatever the run's file gives or replaces (the
// item, the parameters) is read into the GlobalRun.
#pragma once

#include <optional>

#include "global/global_sensor_file.h"
#include "global/listing_task.h"
#include "run/prtg_credentials.h"
#include "run/deadline.h"
#include "run/profile_location.h"
#include "run/request.h"

namespace poolmetrics {

struct GlobalRun {
  ProfileLocation location;     // where the item profile or global file lies: the listed profiles lie there too
  GlobalAllocation allocation;  // the listing, the item and the parameters the run goes by
  // With "CREDENTIALS=": the user and password every listed system logs on
  // with.
  std::optional<LogonCredentials> credentials;
};

// Finds and reads the item profile or the global sensor file, then takes
// the credentials that the run's "CREDENTIALS=" asks for. Every fault ends
// the run (RunFailure).
GlobalRun ReadGlobalRun(const Request& request);

// What every listed system of the run is queried and printed with.
ListingTask TaskOf(const Request& request, const GlobalRun& run);

// Prints the header lines (with progress), loads the library and runs the
// listing, sequentially or with "PARALLEL=n" in child processes; returns
// the exit status (0, or 1 after a child's error block). An RFC error that
// the program found itself ends the run with its block (RunFailure), after
// the lines printed so far.
int RunGlobalRequest(const Request& request, const GlobalRun& run, Deadline& deadline);

}  // namespace poolmetrics
