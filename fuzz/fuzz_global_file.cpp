// The item profile and the global sensor file, with the run's parameters
// read from the allocation.
#include "fuzz_support.h"
#include "global/global_sensor_file.h"
#include "run/run_failure.h"

using namespace poolmetrics;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnterScratchDirectory();
  if (size == 0) return 0;
  // The first byte picks the file and the sensor key; the rest is the file.
  bool item_run = data[0] & 1;
  const char* name = item_run ? kItemProfile : kGlobalSensorFile;
  fuzz::WriteFile(name, data + 1, size - 1);
  Request request;
  request.ProfileName = name;
  request.FirstWord = (data[0] & 2) ? "prdmem" : "TOTAL-ROWS";
  request.Params = ReadParameters((data[0] & 2) ? "prdmem x" : "TOTAL-ROWS");
  request.ItemName = item_run ? "Item" : "";
  ProfileLocation location;
  location.ProfilePath = name;
  try {
    GlobalAllocation allocation = ReadGlobalSensorFile(request, location);
    if (allocation.listing.Names().empty()) __builtin_trap();
  } catch (const RunFailure&) {
  }
  return 0;
}
