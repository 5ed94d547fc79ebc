// Windows device names: a file name that Windows takes for a device in every
// directory (CON, NUL, AUX, COM1, ...), or a path into the device namespace.
// Opening one can wait for input forever or read nothing at all, so no file
// that the program reads may be one, and no name it takes from a file
// (a destination, a listed profile) may be one on any platform.
#pragma once

#include <string_view>

namespace poolmetrics {

// True when the file name `name` (no directory part; a drive in front, as in
// "C:NUL", is allowed) names a device on Windows: its base name, before the
// first dot or colon and without the blanks at its end, is in any case CON,
// PRN, AUX, NUL, COM0-COM9, LPT0-LPT9 (also with the superscript digits 1, 2
// and 3), CONIN$, CONOUT$ or CLOCK$. So "nul.txt", "AUX .P00", "NUL.",
// "COM1:" and "c:con" are devices, "AUXI" and "X.NUL" are not.
bool IsDeviceName(std::string_view name);

// True when `path` names a device on Windows: its last component is a
// device name (see IsDeviceName), or the path starts in the device namespace
// ("\\.\", "\\?\", "\??\", either slash).
bool NamesDevice(std::string_view path);

}  // namespace poolmetrics
