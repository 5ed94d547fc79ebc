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

}  // namespace poolmetrics
