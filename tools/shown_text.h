// Texts of a profile or a command line as the administrator's terminal shows
// them: no control character of a file reaches the terminal raw.
#pragma once

#include <string>
#include <string_view>

namespace poolmetrics {

// `text` with its control characters (C0, DEL, and C1 whether raw or in
// UTF-8) as \xHH; other bytes as they are.
std::string Shown(std::string_view text);

}  // namespace poolmetrics
