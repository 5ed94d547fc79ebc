// The NetWeaver RFC library's own destination file, sapnwrfc.ini (in the
// working directory, or beside the program: ini_path.h), as far as the
// program needs to know it: whether it names a destination. The library
// reads the entry itself.
#pragma once

#include <cstdio>
#include <string_view>

namespace poolmetrics {

constexpr const char* kNwRfcIniFile = "sapnwrfc.ini";

// True when the file read from `ini` (null: no file) has an entry for
// `destination`: a line "DEST=" + destination, blanks around either side
// and the letter case of both ignored, as the library matches them. Lines
// starting with "#", "/*" or "//" are comments. The file is read as editors
// write it: a UTF-8 byte-order mark at its start is no part of the first
// line, and a line ends at CR LF, LF or a CR alone.
bool HasDestinationEntry(std::FILE* ini, std::string_view destination);

}  // namespace poolmetrics
