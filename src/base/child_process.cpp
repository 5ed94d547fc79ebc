#include "base/child_process.h"

namespace poolmetrics {

bool ReadParentLine(std::string& line) {
  // What was read past the last line waits here for the next call.
  static std::string pending;
  line.clear();
  for (;;) {
    std::size_t end = pending.find('\n');
    if (end != std::string::npos) {
      line.assign(pending, 0, end);
      pending.erase(0, end + 1);
      return true;
    }
    char buffer[512];
    long n = child_process_platform::ReadStandardInput(buffer, sizeof buffer);
    if (n <= 0) return false;
    pending.append(buffer, static_cast<std::size_t>(n));
  }
}

}  // namespace poolmetrics
