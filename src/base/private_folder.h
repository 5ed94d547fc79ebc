// A folder of the program's own that only the run's user may change (the
// answers that runs share): made when missing, refused when something else
// could have put or changed what lies in it. (private_folder_posix.cpp,
// private_folder_win32.cpp)
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace poolmetrics {

// Makes `path` a folder when it is missing (natively mode 0700; on Windows
// with an access list that lets only its owner in). Returns an empty text
// when the folder can be used, else why not: it is no folder, or a link or
// junction, or (natively) owned by another user or writable by others.
std::string PreparePrivateFolder(const std::string& path);

// Removes the files directly in `folder` whose names end in one of
// `endings` and that were last written more than `seconds` ago. Never
// follows a link or junction, never enters a sub-folder.
void RemoveOldFiles(const std::string& folder, std::initializer_list<std::string_view> endings, long seconds);

}  // namespace poolmetrics
