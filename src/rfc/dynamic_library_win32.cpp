#include <windows.h>

#include "rfc/dynamic_library.h"
#include "rfc/library_image.h"

namespace poolmetrics {

DynamicLibrary::~DynamicLibrary() {
  if (handle_) FreeLibrary(static_cast<HMODULE>(handle_));
}

DynamicLibrary DynamicLibrary::Load(const std::string& directory, const char* file_name) {
  // A sensor runs unattended: a missing library must become an error
  // document, never a dialog box that waits for a click.
  UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  DynamicLibrary library;
  // The file beside the program is checked before it is loaded, as natively.
  // Windows' normal search (which takes that same file first) is left to the
  // loader: it checks an image against its file itself and refuses one cut
  // short.
  std::string path = directory + file_name;
  if (!directory.empty() && LibraryFileIsWhole(path.c_str())) library.handle_ = LoadLibraryA(path.c_str());
  if (!library.handle_) library.handle_ = LoadLibraryA(file_name);
  SetErrorMode(previous);
  return library;
}

void* DynamicLibrary::Symbol(const char* name) const {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

std::string ProgramDirectory() {
  char path[MAX_PATH + 1];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  std::string directory(path, n);
  std::size_t slash = directory.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : directory.substr(0, slash + 1);
}

}  // namespace poolmetrics
