#include "base/device_name.h"

#include "base/text.h"

namespace poolmetrics {
namespace {

constexpr bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// "\\.\", "\\?\" and "\??\" lead into the device namespace, where every name
// is a device (or a file by a route that skips the checks of normal paths).
bool InDeviceNamespace(std::string_view path) {
  if (path.size() < 4 || !IsSeparator(path[0]) || !IsSeparator(path[3])) return false;
  return (IsSeparator(path[1]) && (path[2] == '.' || path[2] == '?')) || (path[1] == '?' && path[2] == '?');
}

// A digit of COMn and LPTn: 0 to 9, or superscript 1, 2 and 3 as Windows'
// code page 1252 writes them, or in UTF-8.
bool IsPortDigit(std::string_view digit) {
  if (digit.size() == 1)
    return (digit[0] >= '0' && digit[0] <= '9') || digit == "\xB9" || digit == "\xB2" || digit == "\xB3";
  return digit == "\xC2\xB9" || digit == "\xC2\xB2" || digit == "\xC2\xB3";
}

}  // namespace

bool IsDeviceName(std::string_view name) {
  // "C:NUL" is NUL on drive C.
  if (name.size() >= 2 && name[1] == ':') name.remove_prefix(2);
  // Windows looks only at what stands before the first dot or colon (so
  // trailing dots never count: "NUL." and "NUL.." are NUL), without the
  // blanks at its end ("NUL .txt").
  std::string_view base = name.substr(0, name.find_first_of(".:"));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);

  for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"})
    if (EqualsIgnoringCase(base, device)) return true;
  std::string_view port = Head(base, 3);
  return base.size() > 3 && (EqualsIgnoringCase(port, "COM") || EqualsIgnoringCase(port, "LPT")) &&
         IsPortDigit(base.substr(3));
}

bool NamesDevice(std::string_view path) {
  if (InDeviceNamespace(path)) return true;
  // The last component; without a separator the whole path, drive and all.
  std::size_t separator = path.find_last_of("\\/");
  return IsDeviceName(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

}  // namespace poolmetrics
