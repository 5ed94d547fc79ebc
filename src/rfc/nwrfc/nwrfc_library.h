// The NetWeaver RFC library, loaded at run time when the classic library
// does not serve, the first time a run needs one.
#pragma once

#include <string>

#include "rfc/nwrfc/nwrfc_api.h"

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

// The loaded library: loaded on the first call, from the program's own
// directory first, then through the system's search, and never unloaded.
// A library that cannot be loaded or lacks a needed operation gives null and
// the reason in `reason`: "RFC-Library " + file + " could not be loaded" or
// "... lacks operation " + name.
const NwRfc* LoadNwRfc(std::string* reason);

}  // namespace poolmetrics
