// The little the emulator needs from the operating system beyond the
// standard library; one implementation per platform.
#pragma once

#include <string_view>

namespace rfcemu {

// Blocks the calling thread for about `milliseconds`.
void SleepMilliseconds(unsigned milliseconds);

// Ends the calling process at once with `status`, as when it is killed from
// outside: no exit handlers, no library unloading, no buffer flushed.
[[noreturn]] void EndProcessAbruptly(int status);

// The size and modification time (in nanoseconds, as fine as the platform
// tells) of a file; false when it cannot be examined.
bool FileStamp(const char* path, long long* size, long long* modified);

// Appends `text` to the file at `path`, creating it, as one piece: processes
// appending side by side neither lose nor interleave each other's records.
// Failures are ignored.
void AppendToFile(const char* path, std::string_view text);

}  // namespace rfcemu
