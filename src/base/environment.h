// The process's environment variables, as text.
#pragma once

#include <optional>
#include <string>

namespace poolmetrics {

// The value of the environment variable `name` (ASCII) as UTF-8, or none
// when it is not set. On Windows the value is read as the UTF-16 text the
// system holds, so that no character is changed through the ANSI code page
// (environment_win32.cpp); elsewhere it is the value's bytes as they are,
// which a UTF-8 system gives as UTF-8 (environment_posix.cpp).
std::optional<std::string> EnvironmentText(const char* name);

}  // namespace poolmetrics
