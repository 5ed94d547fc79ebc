// Whether a name read from a file may name a file of the working directory
// on every platform the program runs on (profiles are portable).
#pragma once

#include <string_view>

namespace poolmetrics {

// True for the name of a file directly in the current directory, the same
// file on every platform: not empty, no directory part ("/" or "\"), no
// drive (":"), no "..", no Windows device name (IsDeviceName), and no
// character that a Windows file name cannot hold (control characters and
// < > " | ? *).
bool IsPlainFileName(std::string_view name);

}  // namespace poolmetrics
