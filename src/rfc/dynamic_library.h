// DynamicLibrary: a shared library loaded at run time and kept loaded until
// the process ends (rfc/library.cpp says why).
#pragma once

#include <string>

namespace poolmetrics {

class DynamicLibrary {
 public:
  // Loads `file_name` from `directory` first, then through the system's
  // normal search. No loader dialog is ever shown. When it loads from
  // nowhere, `why` says what was found where, in words: "not found in " +
  // directory + " nor by the system's search", or a file's path and why the
  // system refused it (another width, damaged, a library it needs missing,
  // naming that one where the system tells).
  static DynamicLibrary Load(const std::string& directory, const char* file_name, std::string* why);

  explicit operator bool() const { return handle_ != nullptr; }
  void* Symbol(const char* name) const;

 private:
  void* handle_ = nullptr;
};

}  // namespace poolmetrics
