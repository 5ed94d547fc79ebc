// Where the profile of a run lies: PRTG's custom-sensor directory in caller
// mode EXEXML, otherwise the directory given with the profile name.
#pragma once

#include "base/file.h"
#include "base/fixed_text.h"
#include "run/request.h"

namespace poolmetrics {

constexpr const char* kPrtgHintFile = "C:\\PRTG_Path.Txt";
// The files of a global run, which stand in the profile's place: the item
// profile of an "ITEM=" run, the global sensor file of profile GLOBAL.
constexpr const char* kItemProfile = "Overseer.Prf";
constexpr const char* kGlobalSensorFile = "SAP Overseer.Gbl";

struct ProfileLocation {
  FixedText<96> ProfileDirectory;  // with trailing backslash, or empty: also where a listing's profiles lie
  FixedText<96> ProfilePath;       // the path last tested
  File Profile;                    // the profile, open for reading
};

// Finds and opens the profile that `request` names; a profile that is not
// found, or found outside an "ExeXml\" directory in mode EXEXML, ends the
// run (RunFailure).
ProfileLocation LocateProfile(const Request& request);

}  // namespace poolmetrics
