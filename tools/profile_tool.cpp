// PoolMetricsProfile: the administrator's companion of PoolMetrics. The
// commands are in the files named after them (tools/*_command.cpp).
#include <cstdio>
#include <string_view>

#include "base/console.h"
#include "base/standard_descriptors.h"
#include "tools/commands.h"

namespace poolmetrics {
namespace {

constexpr std::string_view kUsage =
    "usage: PoolMetricsProfile encode        (asks for a password, or reads one line of standard input;\n"
    "                                        prints its stored form for the profile's Password line)\n"
    "       PoolMetricsProfile check FILE    (says whether the profile FILE is valid)\n"
    "       PoolMetricsProfile check --credentials FILE\n"
    "                                        (the same, for runs that take user and password from\n"
    "                                        PRTG with CREDENTIALS=)\n"
    "       PoolMetricsProfile test NAME     (logs on with the profile that PoolMetrics NAME reads,\n"
    "                                        through the RFC library it loads, calls the function\n"
    "                                        module once and says what it reached, or why not;\n"
    "                                        with the profile's user and password only, never\n"
    "                                        those of CREDENTIALS=)\n"
    "       PoolMetricsProfile new NAME      (asks for each value of a profile and writes the new\n"
    "                                        file NAME, .P00 added as PoolMetrics adds it; answers\n"
    "                                        may come one a line from standard input)\n"
    "       PoolMetricsProfile --help        (this text)\n";

int Run(int argc, char** argv) {
  std::string_view command = argc > 1 ? argv[1] : "";
  if ((command == "--help" || command == "-h") && argc == 2) {
    std::fputs(kUsage.data(), stdout);
    return 0;
  }
  if (command == "encode" && argc == 2) return EncodeCommand();
  if (command == "check" && argc == 3) return CheckCommand(argv[2], UserAndPassword::kFromProfile);
  if (command == "check" && argc == 4 && std::string_view(argv[2]) == "--credentials")
    return CheckCommand(argv[3], UserAndPassword::kFromElsewhere);
  if (command == "test" && argc == 3) return TestCommand(argv[2]);
  if (command == "new" && argc == 3) return NewCommand(argv[2]);
  std::fputs(kUsage.data(), stderr);
  return 1;
}

}  // namespace
}  // namespace poolmetrics

int main(int argc, char** argv) {
  poolmetrics::EnsureStandardDescriptors();
  int status = poolmetrics::Run(argc, argv);
  // What never reached its reader (a stored form, a report) must not look
  // like success.
  if (!poolmetrics::OutputDelivered()) {
    std::fputs("PoolMetricsProfile: standard output could not be written\n", stderr);
    return 1;
  }
  return status;
}
