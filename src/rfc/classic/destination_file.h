// The destination ini file of a system ("SapRfc." + its destination) and
// the library's "SapRfc.ini" that a copy of it becomes.
#pragma once

#include <string>
#include <string_view>

#include "base/file.h"

namespace poolmetrics {

constexpr const char* kSapRfcIniFile = "SapRfc.ini";
// Where the new SapRfc.ini is written before it takes the old one's place.
// No destination can spell this name: "SapRfc." + destination never reads
// "SapRfc-".
constexpr const char* kSapRfcNewFile = "SapRfc-ini.tmp";
// Serialises the runs in one working directory between the writing of
// "SapRfc.ini" and the logon that reads it.
constexpr const char* kSapRfcLockFile = "SapRfc.lck";

// "SapRfc." + destination: the name of a destination's ini file.
std::string DestinationFileName(std::string_view destination);

// Opens the destination ini file of `destination` for reading, or gives no
// file when there is none. SapRfc.ini itself, the lock file and the new file
// are never a destination ini file, whatever name or link reaches them: a
// copy of one of them over SapRfc.ini would empty it or fill it with
// something else. The caller holds the lock of SapRfc.ini: another run may
// be replacing it.
File OpenDestinationFile(std::string_view destination);

// Copies `source` over SapRfc.ini, all or nothing: the copy is written
// beside it and takes its place only when it is complete. On failure
// SapRfc.ini is as it was and no new file is left behind. The caller holds
// the lock of SapRfc.ini.
bool InstallSapRfcIni(File source);

}  // namespace poolmetrics
