// The lookup of a vendor RFC library's operations by name, shared by the
// loaders of the classic and the NetWeaver library, and the reasons a
// library does not serve, as message 1031 gives them.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "rfc/dynamic_library.h"

namespace poolmetrics {

// "RFC-Library " + file + " could not be loaded", and " (" + why + ")"
// where the loader said why.
std::string LibraryNotLoaded(std::string_view file, std::string_view why);

// Finds one operation after another in a loaded library and keeps the first
// one that the library lacks.
class OperationLookup {
 public:
  // Gives the address that a library exports under a name, or null.
  using Symbols = std::function<void*(const char* name)>;

  // `file`: the library's file name, as message 1031 names it. The library
  // must outlive the lookup.
  OperationLookup(const DynamicLibrary& library, std::string_view file);
  OperationLookup(Symbols symbols, std::string_view file);

  // Sets `*fn` to the operation `name`, or to null when the library lacks
  // it. The plain name is tried first; a 32-bit Windows library may export
  // its stdcall operations decorated instead, as "_Name@bytes" or
  // "Name@bytes", bytes being the size of the arguments: `pointers`
  // pointers and `ints` 4-byte values.
  template <typename Fn>
  void Find(const char* name, unsigned pointers, unsigned ints, Fn* fn) {
    *fn = reinterpret_cast<Fn>(Address(name, pointers, ints, true));
  }
  // As Find, for an operation that the library may lack: its absence is no
  // failure, and the caller does without it where `*fn` is null.
  template <typename Fn>
  void FindOptional(const char* name, unsigned pointers, unsigned ints, Fn* fn) {
    *fn = reinterpret_cast<Fn>(Address(name, pointers, ints, false));
  }

  // Empty when every operation was found; else "RFC-Library " + file +
  // " lacks operation " + the first name not found.
  const std::string& failure() const { return failure_; }

 private:
  void* Address(const char* name, unsigned pointers, unsigned ints, bool required);

  Symbols symbols_;
  std::string file_;
  std::string failure_;
};

}  // namespace poolmetrics
