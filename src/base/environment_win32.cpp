#include <windows.h>

#include <string>

#include "base/environment.h"

namespace poolmetrics {
namespace {

std::wstring Wide(const char* ascii) {
  std::wstring wide;
  for (; *ascii; ++ascii) wide += static_cast<wchar_t>(static_cast<unsigned char>(*ascii));
  return wide;
}

}  // namespace

std::optional<std::string> EnvironmentText(const char* name) {
  std::wstring wide_name = Wide(name);
  std::wstring value(64, L'\0');
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    DWORD size = GetEnvironmentVariableW(wide_name.c_str(), value.data(), static_cast<DWORD>(value.size()));
    if (size == 0) {
      if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return std::string();
    }
    if (size < value.size()) {
      value.resize(size);
      break;
    }
    value.resize(size);  // the size needed, with the terminator
  }
  // An unpaired surrogate, which no text holds, becomes U+FFFD.
  int bytes =
      WideCharToMultiByte(CP_UTF8, 0, value.data(), static_cast<int>(value.size()), nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0)
    WideCharToMultiByte(CP_UTF8, 0, value.data(), static_cast<int>(value.size()), text.data(), bytes, nullptr, nullptr);
  return text;
}

}  // namespace poolmetrics
