#include "rfc/classic/classic_library.h"

#include <string>

#include "base/text.h"
#include "rfc/dynamic_library.h"

namespace poolmetrics {
namespace {

ClassicRfc g_rfc;
bool g_loaded = false;

// Finds an operation under its plain name or, for a library that exports the
// stdcall-decorated names, as "_Name@bytes" or "Name@bytes".
template <typename Fn>
bool Resolve(const DynamicLibrary& library, const char* name, unsigned argument_bytes, Fn* fn) {
  void* symbol = library.Symbol(name);
  if (!symbol) {
    std::string decorated = std::string("_") + name + "@" + std::to_string(argument_bytes);
    symbol = library.Symbol(decorated.c_str());
    if (!symbol) symbol = library.Symbol(decorated.c_str() + 1);
  }
  *fn = reinterpret_cast<Fn>(symbol);
  return symbol != nullptr;
}

}  // namespace

const ClassicRfc* LoadClassicRfc(std::string* failure) {
  if (g_loaded) return &g_rfc;
  // Never unloaded: the library's handler, handles and memory are in use
  // until the process ends, and unloading it at exit would only pull its
  // code away under whatever it still holds.
  static const DynamicLibrary& library = *new DynamicLibrary(DynamicLibrary::Load(ProgramDirectory(), kRfcLibraryFile));
  if (!library) {
    *failure = Concat({"RFC-Library ", kRfcLibraryFile, " could not be loaded"});
    return nullptr;
  }

  ClassicRfc rfc;
  struct Operation {
    const char* name;
    bool resolved;
  };
  const Operation operations[] = {
      {"RfcEnvironment", Resolve(library, "RfcEnvironment", 4, &rfc.RfcEnvironment)},
      {"RfcOpen", Resolve(library, "RfcOpen", 4, &rfc.RfcOpen)},
      {"RfcOpenEx", Resolve(library, "RfcOpenEx", 8, &rfc.RfcOpenEx)},
      {"RfcInstallStructure", Resolve(library, "RfcInstallStructure", 16, &rfc.RfcInstallStructure)},
      {"RfcCall", Resolve(library, "RfcCall", 16, &rfc.RfcCall)},
      {"RfcReceive", Resolve(library, "RfcReceive", 16, &rfc.RfcReceive)},
      {"RfcLastError", Resolve(library, "RfcLastError", 4, &rfc.RfcLastError)},
      {"RfcClose", Resolve(library, "RfcClose", 4, &rfc.RfcClose)},
      {"ItCreate", Resolve(library, "ItCreate", 16, &rfc.ItCreate)},
      {"ItFill", Resolve(library, "ItFill", 4, &rfc.ItFill)},
      {"ItDelete", Resolve(library, "ItDelete", 4, &rfc.ItDelete)},
  };
  for (const Operation& op : operations) {
    if (!op.resolved) {
      *failure = Concat({"RFC-Library ", kRfcLibraryFile, " lacks operation ", op.name});
      return nullptr;
    }
  }

  g_rfc = rfc;
  g_loaded = true;
  return &g_rfc;
}

const ClassicRfc* LoadedClassicRfc() { return g_loaded ? &g_rfc : nullptr; }

}  // namespace poolmetrics
