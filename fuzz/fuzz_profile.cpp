// The profile reader with the stored-password decoder, in both reading modes.
#include <string_view>

#include "fuzz_support.h"
#include "profile/password.h"
#include "profile/system_definition.h"

using namespace poolmetrics;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnterScratchDirectory();
  fuzz::WriteFile("PRD.P00", data, size);
  for (ReadMode mode : {ReadMode::kStrict, ReadMode::kListing}) {
    SystemDefinition system;
    ReadSystemDefinition(File::OpenRead("PRD.P00"), mode, system);
  }
  std::string_view text(reinterpret_cast<const char*>(data), size);
  DecodeStoredPassword(text.substr(0, 60), true);
  DecodedPassword decoded = DecodeStoredPassword(text.substr(0, 60), false);
  if (decoded.plain.size() > kPasswordBlockLength) __builtin_trap();
  return 0;
}
