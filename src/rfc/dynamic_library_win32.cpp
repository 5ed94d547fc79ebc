#include <windows.h>

#include <cstdio>

#include "base/file.h"
#include "base/text.h"
#include "rfc/dynamic_library.h"
#include "rfc/library_image.h"

namespace poolmetrics {

namespace {

// The first library that `path` imports and that the system cannot load,
// or empty. Windows says only that some library was missing, not which.
std::string MissingImport(const std::string& path) {
  File file = File::OpenRead(path.c_str());
  if (!file) return {};
  std::string image;
  char block[65536];
  for (std::size_t got; (got = std::fread(block, 1, sizeof block, file.get())) > 0;) image.append(block, got);
  for (const std::string& name : PeImportedLibraries(image)) {
    // Windows' own API sets are no files.
    if (EqualsIgnoringCase(name.substr(0, 7), "api-ms-") || EqualsIgnoringCase(name.substr(0, 7), "ext-ms-")) continue;
    HMODULE probe = LoadLibraryExA(name.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    if (!probe) return name;
    FreeLibrary(probe);
  }
  return {};
}

// Why the loader refused `path`, a file that is there, after LoadLibrary
// failed with `error`.
std::string LoaderReason(const std::string& path, DWORD error) {
  if (error == ERROR_MOD_NOT_FOUND || error == ERROR_DLL_NOT_FOUND) {
    std::string missing = MissingImport(path);
    if (missing.empty()) return "needs a library that is not found (such as the C runtime it was built with)";
    return Concat({"needs ", missing, ", which is not found"});
  }
  if (error == ERROR_BAD_EXE_FORMAT) return "is no library of this program's width";
  return Concat({"is refused by Windows (error ", std::to_string(error), ")"});
}

}  // namespace

DynamicLibrary DynamicLibrary::Load(const std::string& directory, const char* file_name, std::string* why) {
  // A sensor runs unattended: a missing library must become an error
  // document, never a dialog box that waits for a click.
  UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  DynamicLibrary library;
  why->clear();
  // The file beside the program is checked before it is loaded, as natively.
  // Windows' normal search (which takes that same file first) is left to the
  // loader: it checks an image against its file itself and refuses one cut
  // short.
  std::string path = directory + file_name;
  if (!directory.empty() && CanOpen(path.c_str())) {
    std::string problem = LibraryFileProblem(path.c_str());
    if (problem.empty()) {
      library.handle_ = LoadLibraryA(path.c_str());
      if (!library.handle_) problem = LoaderReason(path, GetLastError());
    }
    if (!library.handle_) *why = Concat({path, " ", problem});
  }
  if (!library.handle_) {
    library.handle_ = LoadLibraryA(file_name);
    DWORD error = library.handle_ ? 0 : GetLastError();
    char found[MAX_PATH + 1];
    DWORD length =
        library.handle_ || !why->empty() ? 0 : SearchPathA(nullptr, file_name, nullptr, MAX_PATH, found, nullptr);
    // Only a file counts as found: a folder of the library's name is none.
    if (length > 0 && length < MAX_PATH && CanOpen(std::string(found, length).c_str()))
      *why = Concat({std::string_view(found, length), " ", LoaderReason(std::string(found, length), error)});
    else if (!library.handle_ && why->empty())
      *why = Concat({"not found in ", directory.empty() ? "the program's folder" : directory, " nor by Windows' search"});
  }
  if (library.handle_) why->clear();
  SetErrorMode(previous);
  return library;
}

void* DynamicLibrary::Symbol(const char* name) const {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace poolmetrics
