// The hint taken from the RFC library's trace file.
#include "base/file.h"
#include "fuzz_support.h"
#include "rfc/trace_hint.h"

using namespace poolmetrics;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnterScratchDirectory();
  fuzz::WriteFile(kTraceFile, data, size);
  File trace = File::OpenRead(kTraceFile);
  if (TraceHint(trace.get()).size() > 3 + 87) __builtin_trap();
  return 0;
}
