// Why the RFC library says a logon failed, as the messages show it.
#pragma once

#include <string>
#include <string_view>

namespace poolmetrics {

// The library's error key and message as one reason, "KEY: message", each
// without the blanks that fill the library's fixed fields; just the one
// that is not empty when the other is, and empty when both are.
std::string LibraryReason(std::string_view key, std::string_view message);

}  // namespace poolmetrics
