// The SAP user and password that PRTG hands a sensor in its environment
// (the sensor setting "Set placeholders as environment values"), from the
// device's "Credentials for Windows Systems" or "for Linux". With them no
// password needs to lie on the probe in a profile.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "rfc/session.h"
#include "run/parameter_values.h"

namespace poolmetrics {

struct LogonCredentials {
  std::string user;      // as the variable gives it; the logon upper-cases it
  std::string password;  // never printed, written to a file or handed to a child
};

// The names of the section's two variables.
std::string_view CredentialUserVariable(CredentialSection section);
std::string_view CredentialPasswordVariable(CredentialSection section);

// Message 1037 for the variable `name` with `value` (UTF-8; none: not set),
// or none when a logon can take the value: 2 to `longest` characters
// (counted in characters, not bytes), none of them a control character (C0,
// DEL or C1), not blanks only. The message names the variable, never its
// value: "Error 1037: Credentials NAME not set...", "... longer than N
// characters...", "... shorter than 2 characters...", "... holds a control
// character...", "... holds only blanks...".
std::optional<std::string> CredentialFault(std::string_view name, const char* value, std::size_t longest);

// Reads the section's user and password from the environment (as text:
// on Windows its UTF-16, base/environment.h); ends the run with message
// 1037 when either cannot serve a logon (the user first).
LogonCredentials ReadPrtgCredentials(CredentialSection section);

// Message 1037 for the first of the two that holds a character a logon
// through `library` cannot carry unchanged (the classic library's code
// page): "Error 1037: Credentials NAME holds a character outside the code
// page of RFC-Library FILE...". None when the library carries both.
std::optional<std::string> CredentialCarriageFault(CredentialSection section, const LogonCredentials& credentials,
                                                   const RfcLibrary& library);
// Ends the run with that message, before any logon.
void CheckCredentialCarriage(CredentialSection section, const LogonCredentials& credentials, const RfcLibrary& library);

}  // namespace poolmetrics
