// The hint from the RFC library's trace file that ends a failed run's message.
#pragma once

#include <cstdio>
#include <string_view>

#include "base/fixed_text.h"

namespace poolmetrics {

constexpr const char* kTraceFile = "Dev_Rfc.Trc";

// The hint for the trace file read from `stream` (null: no trace file):
// " - Look for Trace-File", " - Please Check Trace-File !", or " - " and
// the last error message line the library wrote.
FixedText<128> TraceHint(std::FILE* stream);

}  // namespace poolmetrics
