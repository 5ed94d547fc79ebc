// The SAP user and password that PRTG hands a sensor in its environment
// (the sensor setting "Set placeholders as environment values"), from the
// device's "Credentials for Windows Systems" or "for Linux". With them no
// password needs to lie on the probe in a profile.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "run/parameter_values.h"

namespace poolmetrics {

struct LogonCredentials {
  std::string user;      // as the variable gives it; the logon upper-cases it
  std::string password;  // never printed, written to a file or handed to a child
};

// The names of the section's two variables.
std::string_view CredentialUserVariable(CredentialSection section);
std::string_view CredentialPasswordVariable(CredentialSection section);

// Message 1037 for the variable `name` with `value` (none: not set), or none
// when a logon can take the value: 2 to `longest` characters, none of them a
// control character. The message names the variable, never its value.
std::optional<std::string> CredentialFault(std::string_view name, const char* value, std::size_t longest);

// Reads the section's user and password from the environment; ends the run
// with message 1037 when either cannot serve a logon (the user first).
LogonCredentials ReadPrtgCredentials(CredentialSection section);

}  // namespace poolmetrics
