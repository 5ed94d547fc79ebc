// Standard output, the program's only channel to the monitoring host.
#pragma once

#include <cstdio>
#include <string_view>

namespace poolmetrics {

inline void Print(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

inline void PrintLine(std::string_view text) {
  Print(text);
  std::fputc('\n', stdout);
}

// Flushes standard output; false when anything printed did not reach it (a
// full disk, a closed pipe). Errors stick to the stream, so one check at the
// end covers every line printed before.
inline bool OutputDelivered() { return std::fflush(stdout) == 0 && !std::ferror(stdout); }

}  // namespace poolmetrics
