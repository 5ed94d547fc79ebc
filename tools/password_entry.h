// A password as the administrator gives it: typed at a terminal without
// being shown, or a line from a pipe.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace poolmetrics {

// At a terminal: asks `question` and reads what is typed, not shown. From a
// pipe or a file: the next line, without its line end only; a blank at
// either edge or enclosing quotes (PasswordEdges) are kept, each with a
// warning on standard error. None at the end of the input.
std::optional<std::string> ReadPassword(std::string_view question);

}  // namespace poolmetrics
