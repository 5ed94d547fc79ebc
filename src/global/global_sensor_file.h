// The files of a global run: the item profile "Overseer.Prf" (an ITEM= run)
// and the global sensor file "SAP Overseer.Gbl" (profile argument GLOBAL),
// which allocate a server listing, an item name, a label kind and, in the
// global sensor file, the parameters of the run.
#pragma once

#include "base/fixed_text.h"
#include "global/listing.h"
#include "run/profile_location.h"
#include "run/request.h"

namespace poolmetrics {

// What a global run goes by once its file is read, in place of the parts of
// the request that the file may replace.
struct GlobalAllocation {
  Listing listing;
  SystemLabelKind label_kind = SystemLabelKind::kProfile;
  // The item the run reports on, never empty: the allocation text's "Item="
  // in a global-file run, the command line's "ITEM=" in an item run.
  FixedText<91> item_name;
  // What every listed system is queried with: a global-file run's
  // allocation text, an item run's parameter words, in both ":" standing for
  // a blank; the run control of the command line wins over the allocation's.
  Parameters parameters;
};

// Reads the item profile or the global sensor file that `location` found
// (its stream is closed unread: these files have rules of their own), and
// the run's parameters from it. Every fault ends the run (RunFailure):
// 1024 or 10x1, 1029, 1030, 1025, 1026, 1035 in this order.
GlobalAllocation ReadGlobalSensorFile(const Request& request, ProfileLocation& location);

}  // namespace poolmetrics
