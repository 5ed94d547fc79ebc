#include <windows.h>

#include <string>

#include "base/program_folder.h"

namespace poolmetrics {

std::string ProgramDirectory() {
  char path[MAX_PATH + 1];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  std::string directory(path, n);
  std::size_t slash = directory.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : directory.substr(0, slash + 1);
}

}  // namespace poolmetrics
