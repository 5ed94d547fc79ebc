// A folder of the program's own that only the run's user may change (the
// answers that runs share): made when missing, refused when something else
// could have put or changed what lies in it. (private_folder_posix.cpp,
// private_folder_win32.cpp)
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace poolmetrics {

// Makes `path` a folder when it is missing (natively mode 0700, whatever
// the umask; on Windows with an access list that lets only the user who
// made it in, and that user fully). Returns an empty text when the folder
// can be used, else why not: it is no folder, or a link or junction, or its
// user cannot read it (natively: owned by another user, writable by others,
// or not readable, writable and searchable by its owner).
std::string PreparePrivateFolder(const std::string& path);

// Removes the folder's own plain files (own_file.h) directly in `folder`
// whose names end in one of `endings` and that were last written more than
// `seconds` ago. Never removes a link or what it leads to, nor a file with
// another name elsewhere, never enters a sub-folder.
void RemoveOldFiles(const std::string& folder, std::initializer_list<std::string_view> endings, long seconds);

}  // namespace poolmetrics
