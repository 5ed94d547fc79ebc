// The item profile and the global sensor file, with the preamble that
// rebuilds the parameters from the allocation.
#include "fuzz_support.h"
#include "run/global_sensor_file.h"
#include "run/run_failure.h"

using namespace poolmetrics;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnterScratchDirectory();
  if (size == 0) return 0;
  // The first byte picks the file and the sensor key; the rest is the file.
  bool item_run = data[0] & 1;
  const char* name = item_run ? kItemProfile : kGlobalSensorFile;
  fuzz::WriteFile(name, data + 1, size - 1);
  RunState state;
  state.ProfileName = name;
  state.ProfilePath = name;
  state.request.ParameterText = (data[0] & 2) ? "prdmem x" : "TOTAL-ROWS";
  state.request.ParameterKeys = (data[0] & 2) ? "PRDMEM X" : "TOTAL-ROWS";
  state.request.ItemName = item_run ? "Item" : "";
  try {
    ReadGlobalSensorFile(state, "prdmem");
    StartGlobalRun(state, Progress(false, "00:00:00"));
  } catch (const RunFailure&) {
  }
  return 0;
}
