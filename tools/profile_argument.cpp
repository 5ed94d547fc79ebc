#include "tools/profile_argument.h"

#include "base/text.h"
#include "run/command_line.h"
#include "tools/shown_text.h"

namespace poolmetrics {

Request ProfileRequest(const char* name) {
  const char* argv[] = {"PoolMetrics", name};
  return ReadCommandLine(2, argv);
}

std::string GivenProfilePath(const Request& request) {
  return Concat({request.ProfileDirectory, request.ProfileName});
}

std::string NoSystemProfile(const Request& request) {
  if (request.GlobalMode)
    return Concat({Shown(request.ProfileName), " is the global sensor file of global runs, not one system's profile"});
  if (request.ProfileNameCut)
    return Concat({"the profile name is longer than the ", std::to_string(request.ProfileName.kCapacity - 1),
                   " characters that PoolMetrics takes"});
  return {};
}

}  // namespace poolmetrics
