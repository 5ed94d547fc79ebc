// The files of a private folder (private_folder.h): the program reads,
// writes, locks and removes there only its own plain files, each a regular
// file of the run's user with no other name. Whatever else lies there (a
// link, a second name of a file elsewhere, a folder, a device, a file of
// another user) is left alone and never used: what it reaches may lie
// outside the folder. (own_file_posix.cpp, own_file_win32.cpp)
#pragma once

#include <cstdint>
#include <string>

#include "base/file.h"

namespace poolmetrics {

// Why the open file `handle` (natively a descriptor, on Windows a HANDLE),
// opened by the name `path` without following a link, is none of the
// folder's own plain files: "is a link", "is a hard link", "is no plain
// file", "belongs to another user" or "cannot be read"; empty when it is
// one. (On Windows a file reached through a link that the platform does
// not report as one, as under Wine, is told by the name it really has.)
std::string OwnFileFault(std::intptr_t handle, const std::string& path);

// Opens the own plain file `path` for reading. No file and an empty `why`
// when nothing has that name; no file and `why` saying why when something
// else has it or it cannot be opened.
File OpenOwnFile(const std::string& path, std::string* why);

// Opens the own plain file `path` for reading and writing, made new (for
// its owner alone) when nothing has the name: the open file's handle
// (natively a descriptor, on Windows a HANDLE), or -1 with `why` saying why
// not. (The cache folder's lock files.)
std::intptr_t OpenOrMakeOwnFile(const std::string& path, std::string* why);

// Creates `path` new for writing, exclusively and without following a
// link, readable and writable by its owner alone (natively mode 0600). An
// own plain file of that name (left by a run that ended half-way) is
// replaced; anything else of that name is left alone, and there is then no
// file and `why` says why.
File CreateOwnFile(const std::string& path, std::string* why);

// Removes `path` when it is an own plain file last written more than
// `seconds` ago (at any time, when negative); anything else is left alone.
void RemoveOwnFile(const std::string& path, long seconds = -1);

}  // namespace poolmetrics
