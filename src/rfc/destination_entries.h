// The destination entries that either RFC library could read for a logon:
// they decide which system answers, and as whom, as much as the profile
// does. Read before any library is loaded, so both libraries' files count.
#pragma once

#include <string>
#include <string_view>

namespace poolmetrics {

// A text that changes whenever one of the files that may hold the entry of
// `destination` changes, appears or goes: the classic library's "SapRfc." +
// destination in the working directory, and the NetWeaver library's
// sapnwrfc.ini beside the program (`program_directory`, with its separator;
// empty: none) and in the working directory (which of them that library
// reads is told only once it is loaded: ini_path.h). It holds digests of
// the files, never their text, which may hold a password. A missing file
// costs one failed open.
std::string DestinationEntries(std::string_view destination, const std::string& program_directory);

}  // namespace poolmetrics
