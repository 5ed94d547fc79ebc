// The classic RFC library, loaded at run time the first time a run needs
// it, so that every error before the connection works without it.
#pragma once

#include <string>
#include <string_view>

#include "rfc/classic/rfc_api.h"

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

// The loaded library: loaded on the first call, from the program's own
// directory first, then through the system's search, and never unloaded.
// A library that cannot be loaded or lacks an operation gives null and the
// reason, naming the library file: "RFC-Library " + file + " could not be
// loaded" or "... lacks operation " + name.
const ClassicRfc* LoadClassicRfc(std::string* failure);

// The library once loaded, or null: for the error callback, which the
// library calls without any context of the run.
const ClassicRfc* LoadedClassicRfc();

}  // namespace poolmetrics
