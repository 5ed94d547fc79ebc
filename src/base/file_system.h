// What the program asks of the file system beyond reading and writing a
// stream: whether two names reach the same file, replacing a file in one
// step, the working directory, and raw standard input.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace poolmetrics {

// The identity of a file, whatever name or link reaches it: device and
// inode, or volume serial number and file index on Windows.
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  bool operator==(const FileIdentity& other) const { return volume == other.volume && index == other.index; }
};

// The identity of an open file, or of the file a path names; none when it
// cannot be told (no such file). The path is one of the program's own file
// names: a device name could block the look-up on Windows.
std::optional<FileIdentity> IdentityOf(std::FILE* file);
std::optional<FileIdentity> IdentityOf(const char* path);

// Puts the file `from` in the place of `to` in one step, so that a reader of
// `to` finds either the old file or the new one, never a part of either.
// Returns false when it could not: both files are then as they were.
bool MoveFileOver(const char* from, const char* to);

// The working directory with a trailing separator, as messages name it;
// empty when it cannot be told.
std::string WorkingDirectory();

// Makes a stream deliver every byte as it is: on Windows a text stream
// would turn CR LF into LF and end at the first Ctrl-Z.
void UseBinaryMode(std::FILE* stream);

}  // namespace poolmetrics
