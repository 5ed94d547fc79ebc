// The RFC library, loaded at run time the first time a run needs it, so that
// every error before the connection works without it.
#pragma once

#include <string_view>

#include "rfc/classic/rfc_api.h"

namespace poolmetrics {

#if defined(_WIN32)
constexpr const char* kRfcLibraryFile = "librfc32.dll";
#else
constexpr const char* kRfcLibraryFile = "librfccm.so";
#endif

// The eleven operations the program uses.
struct RfcLibrary {
  RfcEnvironmentFn RfcEnvironment = nullptr;
  RfcOpenFn RfcOpen = nullptr;
  RfcOpenExFn RfcOpenEx = nullptr;
  RfcInstallStructureFn RfcInstallStructure = nullptr;
  RfcCallFn RfcCall = nullptr;
  RfcReceiveFn RfcReceive = nullptr;
  RfcLastErrorFn RfcLastError = nullptr;
  RfcCloseFn RfcClose = nullptr;
  ItCreateFn ItCreate = nullptr;
  ItFillFn ItFill = nullptr;
  ItDeleteFn ItDelete = nullptr;
};

// The loaded library; loads it on the first call, from the program's own
// directory first, then through the system's search. A library that cannot
// be loaded or lacks an operation ends the run with message 1031 naming the
// library file (RunFailure).
const RfcLibrary& Rfc();

// The library once loaded, or null: for the error handler, which the library
// calls without any context of the run.
const RfcLibrary* LoadedRfc();

}  // namespace poolmetrics
