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
  for (char c : name) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return false;
    if (kNotInFileNames.find(c) != std::string_view::npos) return false;
  }
  return true;
}

}  // namespace poolmetrics
