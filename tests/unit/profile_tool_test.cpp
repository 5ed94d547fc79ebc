// The pure pieces of PoolMetricsProfile: the kind of a failed logon and what
// to check, and what a typed password must be and may carry unmeant.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "profile/password.h"
#include "tools/failure_advice.h"
#include "tools/stored_password.h"

namespace poolmetrics {
namespace {

TEST(ProfileTool, KindOfLogonFailureFromWhatTheLibrarySaid) {
  struct Case {
    const char* account;
    FailureKind kind;
  } cases[] = {
      {"RFC_ERROR_LOGON_FAILURE: Name or password is incorrect (repeat logon)", FailureKind::kLogonRefused},
      {"RFC_LOGON_FAILURE: Client 999 is not available in this system", FailureKind::kLogonRefused},
      {"RFC_ERROR_COMMUNICATION: partner 'nohost:sapgw00' not reached", FailureKind::kHostNotReached},
      {"RFC_COMMUNICATION_FAILURE: connection closed by the emulated system PRD", FailureKind::kHostNotReached},
      // The message alone, as a trace file gives it.
      {"Name or password is incorrect (repeat logon)", FailureKind::kLogonRefused},
      {"User is locked. Please notify the person responsible", FailureKind::kLogonRefused},
      {"partner 'nohost:sapgw00' not reached", FailureKind::kHostNotReached},
      {"hostname 'nohost' unknown", FailureKind::kHostNotReached},
      {"", FailureKind::kLogonFailed},
      {"something else went wrong", FailureKind::kLogonFailed},
  };
  for (const Case& c : cases) EXPECT_EQ(KindOfLogonFailure(c.account), c.kind) << c.account;
}

TEST(ProfileTool, ChecksNameTheProfilesValues) {
  SystemDefinition system;
  system.Hostname = "prdhost";
  system.Sysnr = "07";
  system.Client = "100";
  system.User = "MONITOR";
  system.Mode = "R/3";
  system.Gwhost = "gw";
  system.Gwservice = "sapgw07";
  std::vector<std::string> checks = ChecksFor(FailureKind::kHostNotReached, system);
  ASSERT_EQ(checks.size(), 3u);
  EXPECT_EQ(checks[0], "the host name prdhost (Hostname...:)");
  EXPECT_EQ(checks[1],
            "the system number 07 (Sysnr......:): the logon uses port 3307 (gateway) and 3207 (dispatcher)");
  EXPECT_EQ(checks[2], "a firewall between this machine and prdhost (ports 3307 (gateway) and 3207 (dispatcher))");
  // Through a gateway (R/2) its host and service count instead.
  system.Mode = "R/2";
  checks = ChecksFor(FailureKind::kHostNotReached, system);
  EXPECT_EQ(checks[0], "the gateway host gw (Gwhost.....:)");
  EXPECT_EQ(checks[1], "the gateway service sapgw07 (Gwservice..:)");
  // Not told which: both sets.
  EXPECT_EQ(ChecksFor(FailureKind::kLogonFailed, system).size(),
            ChecksFor(FailureKind::kHostNotReached, system).size() + ChecksFor(FailureKind::kLogonRefused, system).size());
  checks = ChecksFor(FailureKind::kCallFailed, system);
  ASSERT_EQ(checks.size(), 1u);
  EXPECT_EQ(checks[0], "the authorisation S_RFC of user MONITOR: activity 16 (execute) for function group SYST and "
                       "function SAPTUNE_GET_SUMMARY_STATISTIC");
}

TEST(ProfileTool, PasswordEdgesThatWereLikelyNotMeant) {
  struct Case {
    const char* password;
    std::vector<std::string> edges;
  } cases[] = {
      {"secret", {}},
      {"sec ret", {}},
      {"secret ", {"a trailing blank"}},
      {" secret", {"a leading blank"}},
      {"\"secret\"", {"enclosing double quotes"}},
      {"'secret'", {"enclosing single quotes"}},
      {"\"secret\" ", {"a trailing blank", "enclosing double quotes"}},  // cmd: echo "secret" |
      {"'secret\"", {}},
      {"\"", {}},
      {"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(PasswordEdges(c.password), c.edges) << c.password;
}

TEST(ProfileTool, StoredPasswordDecodesToThePasswordTyped) {
  EXPECT_EQ(PasswordRefusal("a"), "the password must have 2 to 20 characters");
  EXPECT_EQ(PasswordRefusal(std::string(21, 'x')), "the password must have 2 to 20 characters");
  EXPECT_EQ(PasswordRefusal("ab\tc"), "the password holds a control character (such as a zero byte or a tab)");
  for (std::string password : {"ab", "'secret' ", "Secret_1234 with 20c"}) {
    ASSERT_FALSE(PasswordRefusal(password)) << password;
    std::string stored = MakeStoredPassword(password);
    DecodedPassword decoded = DecodeStoredPassword(stored, true);
    EXPECT_TRUE(decoded.check_ok) << password;
    EXPECT_EQ(decoded.plain, password);
  }
}

}  // namespace
}  // namespace poolmetrics
