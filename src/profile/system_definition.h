// SystemDefinition: the logon data and address of one SAP system, read from
// a profile file of labelled lines.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "base/file.h"
#include "base/fixed_text.h"

namespace poolmetrics {

struct SystemDefinition {
  FixedText<64> Extcompany;
  FixedText<12> Destination;
  FixedText<12> Client;
  FixedText<48> User;
  // Up to 40 characters, the longest SAP takes; PRTG's password is UTF-8
  // text of up to 4 bytes a character.
  FixedText<161> Password;
  FixedText<32> Language;
  FixedText<32> Mode;
  FixedText<48> Hostname;
  FixedText<32> Sysnr;
  FixedText<62> Gwhost;
  FixedText<32> Gwservice;
  FixedText<24> DatClient;

  // How many characters each value had as its profile line gave it (at most
  // 60), in the order of the fields above. A value longer than its field is
  // stored cut to fit, and a cut name would reach another system or file:
  // the check must still see that it did not fit.
  std::array<std::uint8_t, 12> GivenLength{};
};

// Strict: a single-system run, which reports the first fault the reading
// returns (its caller ends the run with that fault's numbered message).
// Listing: a system of a global run; faults only mark the definition
// invalid, and the system is still tried.
enum class ReadMode { kStrict, kListing };

// Where the logon's user and password come from: the profile, or from
// elsewhere (the environment), which makes the profile's User and Password
// lines optional: they are neither read nor checked then.
enum class UserAndPassword { kFromProfile, kFromElsewhere };

// One fault of a profile: its message number (1003 to 1007) and, for the
// profile check command, what is wrong in plain words.
struct ProfileFault {
  int code;
  std::string detail;
};

// Reads the profile to its end into `system`, closes it and checks the
// definition. Returns every fault in the order found (none: the definition
// is valid). In strict mode a password fault ends the reading at once, as
// a single run reports it before anything else of the profile.
std::vector<ProfileFault> ReadSystemDefinition(File profile, ReadMode mode, SystemDefinition& system,
                                               UserAndPassword logon = UserAndPassword::kFromProfile);

// The checks of a complete definition, in their order: user (1006), password
// (1007), then the field lengths and the destination (1003): a value shorter
// than its minimum, a value that names a system or logs on and is longer
// than its field, a destination that is no plain file name. Returns every
// failing check in that order. User and password are not checked when they
// come from elsewhere.
std::vector<ProfileFault> CheckSystemDefinition(const SystemDefinition& system,
                                                UserAndPassword logon = UserAndPassword::kFromProfile);

// Checks `value` as the value of the profile line labelled `label` (its 12
// characters, such as "Client.....:"), with the checks CheckSystemDefinition
// makes of that field, and that the line holds all of it (60 characters).
// Returns the faults in the same words (none: a profile may carry it); a
// label that no profile line has is a fault too.
std::vector<ProfileFault> CheckProfileValue(std::string_view label, std::string_view value);

// Puts the user and password that come from elsewhere into `system`, in
// place of anything the profile gave: the user upper-cased as a profile's
// is. The caller has checked both for a logon (at most 12 and 40
// characters).
void TakeUserAndPassword(SystemDefinition& system, std::string_view user, std::string_view password);

// Whether a definition may be used to log on at all, valid or not. A global
// run still tries the logon of an invalid definition (a wrong password, a
// missing field), but never of one that would open a file outside the
// working directory or reach another system: a destination that is no
// plain file name, or a value cut to its field.
bool UsableForLogon(const SystemDefinition& system);

// The numbered message of a profile fault, naming the profile.
std::string ProfileFaultMessage(int code, std::string_view profile_name);

}  // namespace poolmetrics
