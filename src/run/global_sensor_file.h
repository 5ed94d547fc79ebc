// The files of a global run: the item profile "Overseer.Prf" (an ITEM= run)
// and the global sensor file "SAP Overseer.Gbl" (profile argument GLOBAL),
// which allocate a server listing, an item name, a label kind and, in the
// global sensor file, the parameters of the run.
#pragma once

#include <string_view>

#include "run/progress.h"
#include "run/run_state.h"

namespace poolmetrics {

constexpr const char* kItemProfile = "Overseer.Prf";
constexpr const char* kGlobalSensorFile = "SAP Overseer.Gbl";

// The item name at the start of `value` (what follows "ITEM=" or "Item="):
// up to a blank or a comma or 90 characters, ":" standing for a blank.
FixedText<91> ItemNameOf(std::string_view value);

// Fills ServerListing, ItemName, LabelKind and, for the global sensor file,
// ParameterText. `sensor_argument` is the first parameter word as typed (it
// names the sensor in message 1030). Every fault ends the run (RunFailure).
void ReadGlobalSensorFile(RunState& state, std::string_view sensor_argument);

// The preamble of a global run: the keys rebuilt from the (possibly new)
// parameters, whose run-control values must be in range (else message
// 1035), and with progress the header and "State=Executing" lines.
void StartGlobalRun(RunState& state, const Progress& progress);

}  // namespace poolmetrics
