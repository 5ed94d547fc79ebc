// The emulated landscape's file reader.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "landscape.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  rfcemu::Landscape landscape;
  std::string err;
  rfcemu::ParseLandscape(std::string_view(reinterpret_cast<const char*>(data), size), &landscape, &err);
  return 0;
}
