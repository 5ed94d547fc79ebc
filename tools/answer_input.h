// The administrator's answers on standard input: typed at a terminal (a
// Windows console) after a question, or one a line from a pipe or a file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace poolmetrics {

// The next line of standard input without its line end (LF or CR LF, and
// nothing else), read byte for byte: a zero byte or Ctrl-Z in it must be
// seen, not end the line early. Keeps at most 4,096 bytes of a line and
// drops the rest of it. None at the end of the input when no byte was left.
std::optional<std::string> ReadAnswerLine();

// Writes `question` on standard error (where a terminal shows it and what
// standard output carries stays clean) and reads the answer; with `hidden`,
// what is typed at a terminal is not shown.
std::optional<std::string> Ask(std::string_view question, bool hidden = false);

}  // namespace poolmetrics
