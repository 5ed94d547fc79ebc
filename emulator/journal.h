// The call journal: one line per library operation and argument record,
// appended to the file that the landscape names. Every line is appended
// whole, and the file is opened and closed for each, so that processes
// running side by side lose no lines. Line formats are listed in README.md.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rfcemu {

// Appends `line` and a line end to the file at `path`; does nothing when
// the path is empty. Failures to write are ignored: the journal is a
// witness, never a reason for a call to fail.
void AppendLine(const std::string& path, std::string_view line);

// A text in double quotes, with '"' and '\' escaped by '\' and every byte
// outside the printable ASCII range written as \xHH.
std::string Quote(std::string_view text);

// A C string quoted as above, or NULL for a null pointer.
std::string QuoteOrNull(const char* text);

// Bytes as upper-case hex digits, two per byte, without separators.
std::string Hex(const void* data, std::size_t size);

}  // namespace rfcemu
