#include "base/plain_file_name.h"

#include "base/device_name.h"
#include "base/text.h"

namespace poolmetrics {
namespace {

// A directory part, a drive, and what Windows file names cannot hold.
constexpr std::string_view kNotInFileNames = "/\\:<>\"|?*";

}  // namespace

bool IsPlainFileName(std::string_view name) {
  if (name.empty() || Contains(name, "..") || IsDeviceName(name)) return false;
  for (char c : name)
    if (IsControl(c) || kNotInFileNames.find(c) != std::string_view::npos) return false;
  return true;
}

}  // namespace poolmetrics
