#include "base/file.h"

namespace poolmetrics {

// (File::OpenRead is platform code: file_posix.cpp, file_win32.cpp.)

File File::OpenWrite(const char* path) { return File(std::fopen(path, "wb")); }

bool CanOpen(const char* path) { return static_cast<bool>(File::OpenRead(path)); }

}  // namespace poolmetrics
