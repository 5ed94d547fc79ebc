#include "run/prtg_credentials.h"

#include <gtest/gtest.h>

#include <string>

namespace poolmetrics {
namespace {

// The message names the variable and what is wrong with its value, never
// the value.
TEST(PrtgCredentials, WhatALogonCannotTake) {
  const std::string forty(40, 'p');
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

}  // namespace
}  // namespace poolmetrics
