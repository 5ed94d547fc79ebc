// The classic RFC library's file and the operations the program uses in it
// (rfc/library.h loads it).
#pragma once

#include "rfc/classic/rfc_api.h"
#include "rfc/operation_lookup.h"

namespace poolmetrics {

#if defined(_WIN32)
constexpr const char* kRfcLibraryFile = "librfc32.dll";
#else
constexpr const char* kRfcLibraryFile = "librfccm.so";
#endif

// The eleven operations the program uses.
struct ClassicRfc {
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

// The operations found through `lookup` in the loaded library; one that the
// library lacks is null, and lookup.failure() names the first.
ClassicRfc FindClassicRfc(OperationLookup& lookup);

}  // namespace poolmetrics
