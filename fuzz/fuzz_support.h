// Helpers shared by the fuzz targets: a private working directory and a
// file holding the current input.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace poolmetrics::fuzz {

// Moves the process into a fresh temporary directory, once: the readers
// under test open files relative to the working directory.
inline void EnterScratchDirectory() {
  static bool entered = [] {
    char dir[] = "/tmp/poolmetrics-fuzz-XXXXXX";
    if (!mkdtemp(dir) || chdir(dir) != 0) std::abort();
    return true;
  }();
  (void)entered;
}

inline void WriteFile(const char* path, const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(path, "wb");
  if (!f) std::abort();
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
}

}  // namespace poolmetrics::fuzz
