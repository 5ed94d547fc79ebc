// The files of a global run: the item profile "Overseer.Prf" (an ITEM= run)
// and the global sensor file "SAP Overseer.Gbl" (profile argument GLOBAL),
// which allocate a server listing, an item name, a label kind and, in the
// global sensor file, the parameters of the run.
#pragma once

#include <optional>
#include <string>

#include "global/listing.h"
#include "run/profile_location.h"
#include "run/request.h"

namespace poolmetrics {

// What the file allocates to the run.
struct GlobalAllocation {
  Listing listing;
  SystemLabelKind label_kind = SystemLabelKind::kProfile;
  // A global-file run's allocation text, which replaces the command line's
  // parameter words (":" standing for a blank); none in an item run.
  std::optional<std::string> parameters;
};

// Reads the item profile or the global sensor file that `location` found
// (its stream is closed unread: these files have rules of their own). A
// global-file run's item name replaces request.ItemName. Every fault ends
// the run (RunFailure): 1024 or 10x1, 1029, 1030, 1025, 1026 in this order.
GlobalAllocation ReadGlobalSensorFile(Request& request, ProfileLocation& location);

// The parameters of a global run, once its file is read: the (possibly new)
// parameter text read again with ":" standing for a blank, whose
// run-control values must be in range (else message 1035); the command
// line's run control wins over the allocation's.
void StartGlobalRun(Request& request, const GlobalAllocation& allocation);

}  // namespace poolmetrics
