#include <dlfcn.h>
#include <unistd.h>

#include "rfc/dynamic_library.h"

namespace poolmetrics {

DynamicLibrary::~DynamicLibrary() {
  if (handle_) dlclose(handle_);
}

DynamicLibrary DynamicLibrary::Load(const std::string& directory, const char* file_name) {
  DynamicLibrary library;
  if (!directory.empty()) library.handle_ = dlopen((directory + file_name).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library.handle_) library.handle_ = dlopen(file_name, RTLD_NOW | RTLD_LOCAL);
  return library;
}

void* DynamicLibrary::Symbol(const char* name) const { return dlsym(handle_, name); }

std::string ProgramDirectory() {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return {};
  std::string directory(path, static_cast<std::size_t>(n));
  std::size_t slash = directory.rfind('/');
  return slash == std::string::npos ? std::string() : directory.substr(0, slash + 1);
}

}  // namespace poolmetrics
