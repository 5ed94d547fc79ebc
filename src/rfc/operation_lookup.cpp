#include "rfc/operation_lookup.h"

#include <utility>

#include "base/text.h"

namespace poolmetrics {

std::string LibraryNotLoaded(std::string_view file, std::string_view why) {
  std::string text = Concat({"RFC-Library ", file, " could not be loaded"});
  return why.empty() ? text : Concat({text, " (", why, ")"});
}

OperationLookup::OperationLookup(const DynamicLibrary& library, std::string_view file)
    : OperationLookup([&library](const char* name) { return library.Symbol(name); }, file) {}

OperationLookup::OperationLookup(Symbols symbols, std::string_view file) : symbols_(std::move(symbols)), file_(file) {}

void* OperationLookup::Address(const char* name, unsigned pointers, unsigned ints, bool required) {
  void* address = symbols_(name);
  if (!address) {
    auto bytes = static_cast<unsigned>(pointers * sizeof(void*) + ints * 4);
    std::string decorated = Concat({"_", name, "@", std::to_string(bytes)});
    address = symbols_(decorated.c_str());
    if (!address) address = symbols_(decorated.c_str() + 1);
  }
  if (!address && required && failure_.empty()) failure_ = Concat({"RFC-Library ", file_, " lacks operation ", name});
  return address;
}

}  // namespace poolmetrics
