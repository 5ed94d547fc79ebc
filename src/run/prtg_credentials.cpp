#include "run/prtg_credentials.h"

#include "base/code_page.h"
#include "base/environment.h"
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
  // Counted as SAP counts them: in characters, whatever their bytes.
  std::size_t characters = CharacterCount(text);
  if (characters > longest) return Fault(name, Concat({"longer than ", std::to_string(longest), " characters"}));
  if (characters < kShortest) return Fault(name, "shorter than 2 characters");
  for (std::string_view rest = text; !rest.empty();) {
    TextCharacter c = FirstCharacter(rest);
    if (IsControlCharacter(c.code_point)) return Fault(name, "holds a control character");
    rest.remove_prefix(c.length);
  }
  // SAP drops trailing blanks: nothing would be left.
  if (text.find_first_not_of(' ') == std::string_view::npos) return Fault(name, "holds only blanks");
  return std::nullopt;
}

std::optional<std::string> CredentialCarriageFault(CredentialSection section, const LogonCredentials& credentials,
                                                   const RfcLibrary& library) {
  auto fault = [&](std::string_view name) {
    return Fault(name, Concat({"holds a character outside the code page of RFC-Library ", library.FileName()}));
  };
  if (!library.CarriesText(credentials.user)) return fault(CredentialUserVariable(section));
  if (!library.CarriesText(credentials.password)) return fault(CredentialPasswordVariable(section));
  return std::nullopt;
}

LogonCredentials ReadPrtgCredentials(CredentialSection section) {
  // The names are constants with a terminating zero.
  std::string_view user_name = CredentialUserVariable(section);
  std::string_view password_name = CredentialPasswordVariable(section);
  std::optional<std::string> user = EnvironmentText(user_name.data());
  std::optional<std::string> password = EnvironmentText(password_name.data());
  if (std::optional<std::string> fault = CredentialFault(user_name, user ? user->c_str() : nullptr, kLongestUser))
    Fail(*fault);
  if (std::optional<std::string> fault =
          CredentialFault(password_name, password ? password->c_str() : nullptr, kLongestPassword))
    Fail(*fault);
  return LogonCredentials{*user, *password};
}

void CheckCredentialCarriage(CredentialSection section, const LogonCredentials& credentials,
                             const RfcLibrary& library) {
  if (std::optional<std::string> fault = CredentialCarriageFault(section, credentials, library)) Fail(*fault);
}

}  // namespace poolmetrics
