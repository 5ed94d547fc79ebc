// sapnwrfc.ini as the program reads it (does it name the profile's
// destination?) and as the emulated NetWeaver library reads it (the entry it
// logs on with). The input is the destination, a line feed, and the file.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/file.h"
#include "destination.h"
#include "fuzz_support.h"
#include "rfc/nwrfc/destination_entry.h"

using namespace poolmetrics;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnterScratchDirectory();
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::size_t line_feed = input.find('\n');
  if (line_feed == std::string_view::npos || line_feed == 0) return 0;
  std::string_view destination = input.substr(0, line_feed), ini = input.substr(line_feed + 1);

  fuzz::WriteFile(kNwRfcIniFile, data + line_feed + 1, ini.size());
  bool named = HasDestinationEntry(File::OpenRead(kNwRfcIniFile).get(), destination);
  rfcemu::ParameterMap entry;
  bool found = rfcemu::FindSapnwrfcDestination(ini, destination, &entry);
  // The program passes DEST exactly when the library has the entry: else a
  // logon fails that the profile's own address would have made, or the
  // entry the administrator wrote is passed over.
  if (named != found) __builtin_trap();
  return 0;
}
