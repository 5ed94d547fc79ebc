// The check that an RFC library file is whole before it is loaded: ELF and
// PE headers as the bytes at hand, and as a file on disk.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_support.h"
#include "rfc/library_image.h"

using namespace poolmetrics;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnterScratchDirectory();
  std::string_view image(reinterpret_cast<const char*>(data), size);
  bool whole = LibraryImageIsWhole(image.substr(0, kLibraryHeadLength), size);

  // The file's check reads the first page, and further only when that does
  // not settle it: it must come to the same answer as a check of the head.
  fuzz::WriteFile("library.so", data, size);
  if (LibraryFileIsWhole("library.so") != whole) __builtin_trap();

  // Fewer bytes at hand than the file holds: the check reads nothing beyond
  // them (ASan's business), and what it accepts from a part, the whole file
  // confirms.
  if (LibraryImageIsWhole(image.substr(0, size / 2), size) && !whole) __builtin_trap();

  // Bytes after everything the headers describe (a signature appended, say)
  // do not damage a library.
  if (whole && !LibraryImageIsWhole(image, std::uint64_t{size} + 4096)) __builtin_trap();
  return 0;
}
