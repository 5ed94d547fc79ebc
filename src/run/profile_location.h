// Where the profile of a run lies: PRTG's custom-sensor directory in caller
// mode EXEXML, otherwise the directory given with the profile name.
#pragma once

#include "run/run_state.h"

namespace poolmetrics {

constexpr const char* kPrtgHintFile = "C:\\PRTG_Path.Txt";

// Finds and opens the profile (left open in state.Profile) and sets
// ProfileDirectory and ProfilePath; a profile that is not found, or found
// outside an "ExeXml\" directory in mode EXEXML, ends the run (RunFailure).
void LocateProfile(RunState& state);

}  // namespace poolmetrics
