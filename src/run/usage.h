// What the program says to a person at a console who asks for it:
// "PoolMetrics --help" (also "-h" and "/?") and "PoolMetrics --version".
// Monitoring hosts never send these arguments; no other first argument
// changes what a run does.
#pragma once

#include <string>
#include <string_view>

namespace poolmetrics {

enum class ConsoleRequest { kNone, kHelp, kVersion };

// The console request that the first argument makes, if any.
ConsoleRequest ConsoleRequestOf(std::string_view first_argument);

// The usage: arguments, keywords, sensor types with one line each, caller
// modes.
std::string UsageText();

// The program's version and the RFC library it would load: `library` is
// that library's identification, or the message why none serves.
std::string VersionText(std::string_view library);

}  // namespace poolmetrics
