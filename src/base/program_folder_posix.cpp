#include <unistd.h>

#include <string>

#include "base/program_folder.h"

namespace poolmetrics {

std::string ProgramDirectory() {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return {};
  std::string directory(path, static_cast<std::size_t>(n));
  std::size_t slash = directory.rfind('/');
  return slash == std::string::npos ? std::string() : directory.substr(0, slash + 1);
}

}  // namespace poolmetrics
