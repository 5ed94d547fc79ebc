// Windows device names: a file name that Windows takes for a device in every
// directory (CON, NUL, AUX, COM1, ...), or a path into the device namespace.
// Opening one can wait for input forever or read nothing at all, so no file
// that the program reads may be one.
#pragma once

#include <string_view>

namespace poolmetrics {

// True when `path` names a device on Windows: its last component's base name
// (before the first dot or colon, trailing blanks and dots ignored, any case)
// is CON, PRN, AUX, NUL, COM0-COM9, LPT0-LPT9 (also with the superscript
// digits 1, 2 and 3), CONIN$, CONOUT$ or CLOCK$; or the path starts in the
// device namespace ("\\.\", "\\?\", "\??\", either slash).
bool NamesDevice(std::string_view path);

}  // namespace poolmetrics
