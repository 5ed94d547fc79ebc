// What the program says when the RFC library reports an error: the error
// block on standard output, then the end of the process with status 1.
#pragma once

#include <string_view>

#include "rfc/classic/rfc_api.h"

namespace poolmetrics {

// Registers RfcErrorHandler with the library (RfcEnvironment, no allocator).
void InstallRfcErrorHandler();

// The library's error-handler callback. Never returns.
extern "C" void RFC_STDCALL RfcErrorHandler(char* operation);

// The same block for failures the program finds itself ("RfcInstallStructure",
// "ItCreate TABLE_STATISTIC", ...). Never returns.
[[noreturn]] void ReportRfcError(std::string_view operation);

// One line of the block: `indent` blanks, the label padded with blanks to
// `width` (a longer label is not cut), " : ", the value.
void WriteLabelLine(std::string_view label, int indent, int width, std::string_view value);

}  // namespace poolmetrics
