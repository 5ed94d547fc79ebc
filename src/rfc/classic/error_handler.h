// The classic library's errors: the block of its last error record, and
// the error callback through which the library itself reports one.
#pragma once

#include <string_view>

#include "rfc/classic/classic_library.h"
#include "rfc/error_block.h"

namespace poolmetrics {

// Registers RfcErrorHandler with the library (RfcEnvironment, no allocator);
// the handler reads the library's error record through `rfc`, which must
// live as long as the process.
void InstallRfcErrorHandler(const ClassicRfc& rfc);

// The error block of a failure the program found itself ("RfcInstallStructure",
// "ItCreate TABLE_STATISTIC", ...): the library's last error record, read
// before any other library call so that it is the failure's own; then
// RfcClose of the null handle.
ErrorBlock CaptureErrorBlock(const ClassicRfc& rfc, std::string_view operation);

// The library's error-handler callback: reports the block
// (ReportErrorBlock) and ends the process with status 1. The library may be in the middle of a call, so
// nothing may return into it or unwind through it. Never returns.
extern "C" void RFC_STDCALL RfcErrorHandler(char* operation);

}  // namespace poolmetrics
