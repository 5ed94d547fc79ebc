#include "base/plain_file_name.h"

#include "base/text.h"

namespace poolmetrics {
namespace {

// Windows 1252 and UTF-8 forms of the superscript digits that Windows takes
// as COM and LPT port numbers as well.
constexpr std::string_view kSuperscriptDigits[] = {"\xB9", "\xB2", "\xB3", "\xC2\xB9", "\xC2\xB2", "\xC2\xB3"};

bool IsPortNumber(std::string_view text) {
  if (text.size() == 1 && text[0] >= '0' && text[0] <= '9') return true;
  for (std::string_view digit : kSuperscriptDigits)
    if (text == digit) return true;
  return false;
}

// A directory part, a drive, and what Windows file names cannot hold.
constexpr std::string_view kNotInFileNames = "/\\:<>\"|?*";

}  // namespace

bool IsDeviceName(std::string_view name) {
  // Windows looks only at what stands before the first dot, without the
  // blanks at its end.
  std::string_view base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (EqualsIgnoringCase(base, device)) return true;
  if (base.size() < 4) return false;
  std::string_view port = base.substr(0, 3);
  return (EqualsIgnoringCase(port, "COM") || EqualsIgnoringCase(port, "LPT")) && IsPortNumber(base.substr(3));
}

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
