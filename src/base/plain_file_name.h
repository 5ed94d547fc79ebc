// Whether a name read from a file may name a file of the working directory
// on every platform the program runs on (profiles are portable).
#pragma once

#include <string_view>

namespace poolmetrics {

// True for a name that Windows reserves for a device, whatever directory it
// is written in: CON, PRN, AUX, NUL, COM0 to COM9, LPT0 to LPT9 (also with a
// superscript 1, 2 or 3), CONIN$ and CONOUT$, in any case, with or without
// an extension, and with blanks or dots after it ("nul .txt", "AUX.").
bool IsDeviceName(std::string_view name);

// True for the name of a file directly in the current directory, the same
// file on every platform: not empty, no directory part ("/" or "\"), no
// drive (":"), no "..", no device name, and no character that a Windows file
// name cannot hold (control characters and < > " | ? *).
bool IsPlainFileName(std::string_view name);

}  // namespace poolmetrics
