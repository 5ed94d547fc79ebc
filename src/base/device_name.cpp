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

bool NamesDevice(std::string_view path) {
  if (InDeviceNamespace(path)) return true;
  std::size_t separator = path.find_last_of("\\/");
  std::string_view name = separator == std::string_view::npos ? path : path.substr(separator + 1);
  // "C:NUL" is NUL on drive C.
  if (separator == std::string_view::npos && name.size() >= 2 && name[1] == ':') name.remove_prefix(2);
  name = name.substr(0, name.find_first_of(".:"));
  while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.remove_suffix(1);

  for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"})
    if (EqualsIgnoringCase(name, device)) return true;
  std::string_view port = Head(name, 3);
  return name.size() > 3 && (EqualsIgnoringCase(port, "COM") || EqualsIgnoringCase(port, "LPT")) &&
         IsPortDigit(name.substr(3));
}

}  // namespace poolmetrics
