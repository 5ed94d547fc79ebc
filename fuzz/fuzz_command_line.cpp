// The command line: arguments of any length and content, split at zero bytes.
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "run/command_line.h"
#include "run/run_failure.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args = {"PoolMetrics"};
  std::string current;
  for (size_t i = 0; i < size && args.size() < 6; ++i) {
    if (data[i] == 0) {
      args.push_back(current);
      current.clear();
    } else {
      current += static_cast<char>(data[i]);
    }
  }
  args.push_back(current);
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  try {
    poolmetrics::Request request = poolmetrics::ReadCommandLine(static_cast<int>(argv.size()), argv.data());
    if (request.ItemName.size() > 90) __builtin_trap();
  } catch (const poolmetrics::RunFailure&) {
  }
  return 0;
}
