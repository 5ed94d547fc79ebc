#include <cstdio>
#include <string>

#include "base/file.h"
#include "tools/commands.h"
#include "tools/shown_text.h"

namespace poolmetrics {

int CheckCommand(const char* path, UserAndPassword logon) {
  File profile = File::OpenRead(path);
  if (!profile) {
    std::printf("%s: cannot be opened\n", Shown(path).c_str());
    return 1;
  }
  SystemDefinition system;
  const bool from_profile = logon == UserAndPassword::kFromProfile;
  std::vector<ProfileFault> faults = ReadSystemDefinition(std::move(profile), ReadMode::kListing, system, logon);
  for (const ProfileFault& fault : faults)
    std::printf("%s: %s (message %d)\n", Shown(path).c_str(), Shown(fault.detail).c_str(), fault.code);
  if (faults.empty()) {
    std::string details = "client " + Shown(system.Client);
    if (from_profile) details += ", user " + Shown(system.User);
    std::printf("%s: valid profile of %s (%s)\n", Shown(path).c_str(), Shown(system.Destination).c_str(),
                details.c_str());
  }
  if (!from_profile)
    std::printf("%s: User and Password not required: runs with CREDENTIALS= take them from PRTG\n",
                Shown(path).c_str());
  return faults.empty() ? 0 : 1;
}

}  // namespace poolmetrics
