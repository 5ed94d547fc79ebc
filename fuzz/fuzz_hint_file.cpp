// The PRTG directory hint "C:\PRTG_Path.Txt" and the search it steers.
#include "fuzz_support.h"
#include "run/profile_location.h"
#include "run/run_failure.h"

using namespace poolmetrics;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnterScratchDirectory();
  fuzz::WriteFile(kPrtgHintFile, data, size);
  Request request;
  request.ProfileName = "PRD.P00";
  try {
    LocateProfile(request);
  } catch (const RunFailure&) {
  }
  return 0;
}
