#include "run/prtg_credentials.h"

#include <gtest/gtest.h>

#include <string>

#include "rfc/classic/library_text.h"

namespace poolmetrics {
namespace {

// The message names the variable and what is wrong with its value, never
// the value.
TEST(PrtgCredentials, WhatALogonCannotTake) {
  const std::string forty(40, 'p');
  std::string euros, umlauts;  // 40 characters each, of 3 and 2 bytes
  for (int i = 0; i < 40; ++i) euros += "\xE2\x82\xAC", umlauts += "\xC3\xA4";
  const std::string euros41 = euros + "\xE2\x82\xAC";
  struct {
    const char* value;  // null: not set
    std::size_t longest;
    const char* fault;  // null: none
  } cases[] = {
      {"monitor", 12, nullptr},
      {"mo", 12, nullptr},
      {"MONITORING12", 12, nullptr},
      {forty.c_str(), 40, nullptr},
      {"p\xe4sswort \xc3\xbc", 40, nullptr},  // blanks and bytes past ASCII are a password's own
      {nullptr, 12, "Error 1037: Credentials v not set..."},
      {"", 40, "Error 1037: Credentials v not set..."},
      {"m", 12, "Error 1037: Credentials v shorter than 2 characters..."},
      {"MONITORING123", 12, "Error 1037: Credentials v longer than 12 characters..."},
      {"secret\tword", 40, "Error 1037: Credentials v holds a control character..."},
      {"secret\x7f", 40, "Error 1037: Credentials v holds a control character..."},
      {"secret\r", 40, "Error 1037: Credentials v holds a control character..."},
      // Lengths in characters, not bytes.
      {"M\xC3\x9CLLERM\xC3\x9CLLER", 12, nullptr},
      {euros.c_str(), 40, nullptr},
      {umlauts.c_str(), 40, nullptr},
      {"M\xC3\x9CLLERM\xC3\x9CLLERS", 12, "Error 1037: Credentials v longer than 12 characters..."},
      {euros41.c_str(), 40, "Error 1037: Credentials v longer than 40 characters..."},
      {"\xC3\xA9", 40, "Error 1037: Credentials v shorter than 2 characters..."},
      {"\xF0\x9F\x98\x80", 40, "Error 1037: Credentials v shorter than 2 characters..."},
      {"\xC3\xA9\xC3\xA9", 40, nullptr},
      // C1 control characters, as UTF-8 or as a Latin-1 byte.
      {"secret\xC2\x85word", 40, "Error 1037: Credentials v holds a control character..."},
      {"secret\x85", 40, "Error 1037: Credentials v holds a control character..."},
      {"secret\xC2\x9B", 40, "Error 1037: Credentials v holds a control character..."},
      // SAP drops trailing blanks: blanks alone leave nothing.
      {"  ", 40, "Error 1037: Credentials v holds only blanks..."},
      {"          ", 12, "Error 1037: Credentials v holds only blanks..."},
      {" x ", 40, nullptr},
  };
  for (const auto& c : cases) {
    std::optional<std::string> fault = CredentialFault("v", c.value, c.longest);
    EXPECT_EQ(fault.value_or("none"), c.fault ? c.fault : "none") << (c.value ? c.value : "(not set)");
  }
  EXPECT_EQ(CredentialUserVariable(CredentialSection::kWindows), "prtg_windowsuser");
  EXPECT_EQ(CredentialPasswordVariable(CredentialSection::kWindows), "prtg_windowspassword");
  EXPECT_EQ(CredentialUserVariable(CredentialSection::kLinux), "prtg_linuxuser");
  EXPECT_EQ(CredentialPasswordVariable(CredentialSection::kLinux), "prtg_linuxpassword");
}

// A library whose logon carries only the characters of its code page, as
// the classic one does.
class CodePageLibrary final : public RfcLibrary {
 public:
  OpenOutcome Open(const LogonDescription&, SessionEvents&) override { return OpenFailure{}; }
  std::string FileName() const override { return "librfc32.dll"; }
  std::string TraceFile() const override { return "dev_rfc"; }
  bool CarriesText(std::string_view text) const override { return InLibraryCodePage(text).has_value(); }
};

TEST(PrtgCredentials, WhatTheLibraryCannotCarry) {
  struct {
    const char* user;
    const char* password;
    const char* fault;  // null: none
  } cases[] = {
      {"M\xC3\x9CLLER", "gr\xC3\xBCn-42", nullptr},
      {"MONITOR", "\xCE\xA9mega-\xC5\x82\xC3\xB3w",
       "Error 1037: Credentials prtg_windowspassword holds a character outside the code page of RFC-Library "
       "librfc32.dll..."},
      {"\xC5\x81UKASZ", "\xCE\xA9mega",
       "Error 1037: Credentials prtg_windowsuser holds a character outside the code page of RFC-Library "
       "librfc32.dll..."},
  };
  CodePageLibrary library;
  for (const auto& c : cases) {
    std::optional<std::string> fault =
        CredentialCarriageFault(CredentialSection::kWindows, LogonCredentials{c.user, c.password}, library);
    EXPECT_EQ(fault.value_or("none"), c.fault ? c.fault : "none") << c.user;
  }
}

}  // namespace
}  // namespace poolmetrics
