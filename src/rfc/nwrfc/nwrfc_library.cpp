#include "rfc/nwrfc/nwrfc_library.h"

#include <string>

#include "rfc/dynamic_library.h"

namespace poolmetrics {
namespace {

// Finds an operation under its plain name or, for a 32-bit library that
// exports the stdcall-decorated names, as "_Name@bytes" or "Name@bytes".
template <typename Fn>
bool Resolve(const DynamicLibrary& library, const char* name, unsigned pointer_arguments, unsigned int_arguments,
             Fn* fn) {
  void* symbol = library.Symbol(name);
  if (!symbol) {
    unsigned bytes = pointer_arguments * static_cast<unsigned>(sizeof(void*)) + int_arguments * 4;
    std::string decorated = std::string("_") + name + "@" + std::to_string(bytes);
    symbol = library.Symbol(decorated.c_str());
    if (!symbol) symbol = library.Symbol(decorated.c_str() + 1);
  }
  *fn = reinterpret_cast<Fn>(symbol);
  return symbol != nullptr;
}

}  // namespace

const NwRfc* LoadNwRfc(std::string* reason) {
  static const NwRfc* loaded = nullptr;
  if (loaded) return loaded;
  // Never unloaded, as the classic library: connections and the library's
  // cached function descriptions live until the process ends.
  static const DynamicLibrary& library =
      *new DynamicLibrary(DynamicLibrary::Load(ProgramDirectory(), kNwRfcLibraryFile));
  std::string file = kNwRfcLibraryFile;
  if (!library) {
    *reason = "RFC-Library " + file + " could not be loaded";
    return nullptr;
  }

  NwRfc rfc;
  struct Operation {
    const char* name;
    bool resolved;
  };
  // (pointer arguments, 4-byte arguments) of each, for the decorated names.
  const Operation operations[] = {
      {"RfcOpenConnection", Resolve(library, "RfcOpenConnection", 2, 1, &rfc.RfcOpenConnection)},
      {"RfcCloseConnection", Resolve(library, "RfcCloseConnection", 2, 0, &rfc.RfcCloseConnection)},
      {"RfcGetFunctionDesc", Resolve(library, "RfcGetFunctionDesc", 3, 0, &rfc.RfcGetFunctionDesc)},
      {"RfcCreateFunction", Resolve(library, "RfcCreateFunction", 2, 0, &rfc.RfcCreateFunction)},
      {"RfcDestroyFunction", Resolve(library, "RfcDestroyFunction", 2, 0, &rfc.RfcDestroyFunction)},
      {"RfcSetChars", Resolve(library, "RfcSetChars", 4, 1, &rfc.RfcSetChars)},
      {"RfcInvoke", Resolve(library, "RfcInvoke", 3, 0, &rfc.RfcInvoke)},
      {"RfcGetStructure", Resolve(library, "RfcGetStructure", 4, 0, &rfc.RfcGetStructure)},
      {"RfcGetTable", Resolve(library, "RfcGetTable", 4, 0, &rfc.RfcGetTable)},
      {"RfcGetRowCount", Resolve(library, "RfcGetRowCount", 3, 0, &rfc.RfcGetRowCount)},
      {"RfcGetInt", Resolve(library, "RfcGetInt", 4, 0, &rfc.RfcGetInt)},
      {"RfcGetChars", Resolve(library, "RfcGetChars", 4, 1, &rfc.RfcGetChars)},
      {"RfcGetDate", Resolve(library, "RfcGetDate", 4, 0, &rfc.RfcGetDate)},
      {"RfcGetTime", Resolve(library, "RfcGetTime", 4, 0, &rfc.RfcGetTime)},
      {"RfcGetString", Resolve(library, "RfcGetString", 5, 1, &rfc.RfcGetString)},
      {"RfcGetVersion", Resolve(library, "RfcGetVersion", 3, 0, &rfc.RfcGetVersion)},
  };
  for (const Operation& op : operations) {
    if (!op.resolved) {
      *reason = "RFC-Library " + file + " lacks operation " + op.name;
      return nullptr;
    }
  }
  loaded = new NwRfc(rfc);
  return loaded;
}

}  // namespace poolmetrics
