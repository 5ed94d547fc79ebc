#include "rfc/classic/classic_library.h"

#include <string>

#include "rfc/dynamic_library.h"
#include "rfc/operation_lookup.h"

namespace poolmetrics {
namespace {

ClassicRfc g_rfc;
bool g_loaded = false;

}  // namespace

const ClassicRfc* LoadClassicRfc(std::string* failure) {
  if (g_loaded) return &g_rfc;
  // Never unloaded: the library's handler, handles and memory are in use
  // until the process ends, and unloading it at exit would only pull its
  // code away under whatever it still holds.
  static std::string why;  // said once, when the load was tried
  static const DynamicLibrary& library =
      *new DynamicLibrary(DynamicLibrary::Load(ProgramDirectory(), kRfcLibraryFile, &why));
  if (!library) {
    *failure = LibraryNotLoaded(kRfcLibraryFile, why);
    return nullptr;
  }

  // (pointer arguments, 4-byte arguments) of each, for the decorated names.
  ClassicRfc rfc;
  OperationLookup lookup(library, kRfcLibraryFile);
  lookup.Find("RfcEnvironment", 1, 0, &rfc.RfcEnvironment);
  lookup.Find("RfcOpen", 1, 0, &rfc.RfcOpen);
  lookup.Find("RfcOpenEx", 2, 0, &rfc.RfcOpenEx);
  lookup.Find("RfcInstallStructure", 3, 1, &rfc.RfcInstallStructure);
  lookup.Find("RfcCall", 3, 1, &rfc.RfcCall);
  lookup.Find("RfcReceive", 3, 1, &rfc.RfcReceive);
  lookup.Find("RfcLastError", 1, 0, &rfc.RfcLastError);
  lookup.Find("RfcClose", 0, 1, &rfc.RfcClose);
  lookup.Find("ItCreate", 1, 3, &rfc.ItCreate);
  lookup.Find("ItFill", 1, 0, &rfc.ItFill);
  lookup.Find("ItDelete", 1, 0, &rfc.ItDelete);
  if (!lookup.failure().empty()) {
    *failure = lookup.failure();
    return nullptr;
  }

  g_rfc = rfc;
  g_loaded = true;
  return &g_rfc;
}

const ClassicRfc* LoadedClassicRfc() { return g_loaded ? &g_rfc : nullptr; }

}  // namespace poolmetrics
