// DynamicLibrary: a shared library loaded at run time, unloaded with its owner.
#pragma once

#include <string>

namespace poolmetrics {

class DynamicLibrary {
 public:
  DynamicLibrary() = default;
  DynamicLibrary(DynamicLibrary&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  DynamicLibrary& operator=(DynamicLibrary&&) = delete;
  DynamicLibrary(const DynamicLibrary&) = delete;
  ~DynamicLibrary();

  // Loads `file_name` from `directory` first, then through the system's
  // normal search. No loader dialog is ever shown.
  static DynamicLibrary Load(const std::string& directory, const char* file_name);

  explicit operator bool() const { return handle_ != nullptr; }
  void* Symbol(const char* name) const;

 private:
  void* handle_ = nullptr;
};

// The directory that holds the running program, with a trailing separator,
// or empty when it cannot be told.
std::string ProgramDirectory();

}  // namespace poolmetrics
