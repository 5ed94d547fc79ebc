#include "run/prtg_credentials.h"

#include <algorithm>
#include <cstdlib>

#include "base/text.h"
#include "run/run_failure.h"

namespace poolmetrics {
namespace {

// What SAP takes at a logon: a user of up to 12 characters, a password of
// up to 40. A single character is no value an administrator meant.
constexpr std::size_t kShortest = 2;
constexpr std::size_t kLongestUser = 12;
constexpr std::size_t kLongestPassword = 40;

std::string Fault(std::string_view name, std::string_view what) {
  return Concat({"Error 1037: Credentials ", name, " ", what, "..."});
}

}  // namespace

std::string_view CredentialUserVariable(CredentialSection section) {
  return section == CredentialSection::kWindows ? "prtg_windowsuser" : "prtg_linuxuser";
}

std::string_view CredentialPasswordVariable(CredentialSection section) {
  return section == CredentialSection::kWindows ? "prtg_windowspassword" : "prtg_linuxpassword";
}

std::optional<std::string> CredentialFault(std::string_view name, const char* value, std::size_t longest) {
  std::string_view text = value ? value : "";
  if (text.empty()) return Fault(name, "not set");
  if (text.size() > longest) return Fault(name, Concat({"longer than ", std::to_string(longest), " characters"}));
  if (text.size() < kShortest) return Fault(name, "shorter than 2 characters");
  if (std::any_of(text.begin(), text.end(), IsControl)) return Fault(name, "holds a control character");
  return std::nullopt;
}

LogonCredentials ReadPrtgCredentials(CredentialSection section) {
  // The names are constants with a terminating zero.
  std::string_view user_name = CredentialUserVariable(section);
  std::string_view password_name = CredentialPasswordVariable(section);
  const char* user = std::getenv(user_name.data());
  const char* password = std::getenv(password_name.data());
  if (std::optional<std::string> fault = CredentialFault(user_name, user, kLongestUser)) Fail(*fault);
  if (std::optional<std::string> fault = CredentialFault(password_name, password, kLongestPassword)) Fail(*fault);
  return LogonCredentials{user, password};
}

}  // namespace poolmetrics
