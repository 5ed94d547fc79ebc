// SystemDefinition: the logon data and address of one SAP system, read from
// a profile file of labelled lines.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "run/file.h"
#include "run/fixed_text.h"

namespace poolmetrics {

struct SystemDefinition {
  FixedText<64> Extcompany;
  FixedText<12> Destination;
  FixedText<12> Client;
  FixedText<48> User;
  FixedText<32> Password;
  FixedText<32> Language;
  FixedText<32> Mode;
  FixedText<48> Hostname;
  FixedText<32> Sysnr;
  FixedText<62> Gwhost;
  FixedText<32> Gwservice;
  FixedText<24> DatClient;
};

// Strict: a single-system run; the first fault ends the run (RunFailure with
// its numbered message). Listing: a system of a global run; faults only mark
// the definition invalid.
enum class ReadMode { kStrict, kListing };

// One fault of a profile: its message number (1003 to 1007) and, for the
// profile check command, what is wrong in plain words.
struct ProfileFault {
  int code;
  std::string detail;
};

// Reads the profile to its end into `system`, closes it and checks the
// definition.
// `profile_name` names the profile in the messages. Returns whether the
// definition is valid (in strict mode only ever true). In listing mode every
// fault found is added to `faults` when it is given.
bool ReadSystemDefinition(File profile, ReadMode mode, std::string_view profile_name, SystemDefinition& system,
                          std::vector<ProfileFault>* faults = nullptr);

// The checks of a complete definition, in their order: user (1006), password
// (1007), then the minimum lengths (1003). Returns the code of the first
// failing check, 0 when the definition is valid; adds every failing check to
// `faults` when it is given.
int CheckSystemDefinition(const SystemDefinition& system, std::vector<ProfileFault>* faults = nullptr);

// The numbered message of a profile fault, naming the profile.
std::string ProfileFaultMessage(int code, std::string_view profile_name);

}  // namespace poolmetrics
