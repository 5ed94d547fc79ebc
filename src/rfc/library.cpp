#include "rfc/library.h"

#include <iterator>
#include <memory>
#include <string>

#include "base/program_folder.h"
#include "rfc/classic/classic_library.h"
#include "rfc/classic/classic_session.h"
#include "rfc/dynamic_library.h"
#include "rfc/nwrfc/nwrfc_library.h"
#include "rfc/nwrfc/nwrfc_session.h"
#include "rfc/operation_lookup.h"

namespace poolmetrics {
namespace {

// What the loader needs of a vendor library: its file, and its operations
// found in the loaded file as the run's RfcLibrary (null when the file lacks
// one; the lookup names it).
struct Vendor {
  const char* file;
  std::unique_ptr<RfcLibrary> (*serve)(OperationLookup& lookup, const std::string& program_directory);
};

// In the order of the choice: the classic library, the program's first;
// then the NetWeaver RFC library, the one SAP supports. A classic
// library of the wrong width (the 32-bit DLL beside the 64-bit program)
// simply does not load.
constexpr Vendor kVendors[] = {{kRfcLibraryFile, ClassicRfcLibrary}, {kNwRfcLibraryFile, NetWeaverRfcLibrary}};

// The vendor's library, or null with the reason in `reason`: "RFC-Library "
// + file + " could not be loaded" (and why) or "... lacks operation " + name.
std::unique_ptr<RfcLibrary> Load(const Vendor& vendor, const std::string& program_directory, std::string* reason) {
  std::string why;
  DynamicLibrary file = DynamicLibrary::Load(program_directory, vendor.file, &why);
  if (!file) {
    *reason = LibraryNotLoaded(vendor.file, why);
    return nullptr;
  }
  OperationLookup lookup(file, vendor.file);
  std::unique_ptr<RfcLibrary> library = vendor.serve(lookup, program_directory);
  if (!library) *reason = lookup.failure();
  return library;
}

}  // namespace

RfcLibrary* LoadRfcLibrary(std::string* failure) {
  // The one state of the loading: the library chosen, for the process.
  static RfcLibrary* chosen = nullptr;
  if (chosen) return chosen;
  std::string program_directory = ProgramDirectory();
  std::string reasons[std::size(kVendors)];
  for (std::size_t i = 0; i < std::size(kVendors) && !chosen; ++i)
    chosen = Load(kVendors[i], program_directory, &reasons[i]).release();
  if (!chosen) *failure = "Error 1031: " + reasons[0] + ", " + reasons[1] + "...";
  return chosen;
}

}  // namespace poolmetrics
