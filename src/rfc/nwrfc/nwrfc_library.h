// The NetWeaver RFC library's file and the operations the program uses in
// it (rfc/library.h loads it when the classic library does not serve).
#pragma once

#include "rfc/nwrfc/nwrfc_api.h"
#include "rfc/operation_lookup.h"

namespace poolmetrics {

#if defined(_WIN32)
constexpr const char* kNwRfcLibraryFile = "sapnwrfc.dll";
#else
constexpr const char* kNwRfcLibraryFile = "libsapnwrfc.so";
#endif

// The sixteen operations the program needs, and RfcSetIniPath, which it
// uses where the library has it.
struct NwRfc {
  nwrfc::RfcOpenConnectionFn RfcOpenConnection = nullptr;
  nwrfc::RfcCloseConnectionFn RfcCloseConnection = nullptr;
  nwrfc::RfcGetFunctionDescFn RfcGetFunctionDesc = nullptr;
  nwrfc::RfcCreateFunctionFn RfcCreateFunction = nullptr;
  nwrfc::RfcDestroyFunctionFn RfcDestroyFunction = nullptr;
  nwrfc::RfcSetCharsFn RfcSetChars = nullptr;
  nwrfc::RfcInvokeFn RfcInvoke = nullptr;
  nwrfc::RfcGetStructureFn RfcGetStructure = nullptr;
  nwrfc::RfcGetTableFn RfcGetTable = nullptr;
  nwrfc::RfcGetRowCountFn RfcGetRowCount = nullptr;
  nwrfc::RfcGetIntFn RfcGetInt = nullptr;
  nwrfc::RfcGetCharsFn RfcGetChars = nullptr;
  nwrfc::RfcGetDateFn RfcGetDate = nullptr;
  nwrfc::RfcGetTimeFn RfcGetTime = nullptr;
  nwrfc::RfcGetStringFn RfcGetString = nullptr;
  nwrfc::RfcGetVersionFn RfcGetVersion = nullptr;
  // Null when the library lacks it: the library then reads the working
  // directory's sapnwrfc.ini only, and so does the program.
  nwrfc::RfcSetIniPathFn RfcSetIniPath = nullptr;
};

// The operations found through `lookup` in the loaded library; a needed one
// that the library lacks is null, and lookup.failure() names the first.
NwRfc FindNwRfc(OperationLookup& lookup);

}  // namespace poolmetrics
