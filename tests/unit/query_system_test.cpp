#include "run/query_system.h"

#include <gtest/gtest.h>

#include "fake_rfc_library.h"

namespace poolmetrics {
namespace {

class NoEvents final : public SessionEvents {
 public:
  void DestinationFileUsed(std::string_view) override {}
  void ClassicDestinationFileNotUsed(std::string_view) override {}
};

// No time limit: the steps of a query only mark where it is.
Deadline none(Clock::now());

SystemDefinition System(const char* destination) {
  SystemDefinition s;
  s.Destination = destination;
  s.Client = "100";
  s.User = "MONITOR";
  s.Password = "secret1";
  s.Hostname = "host";
  s.Sysnr = "00";
  return s;
}

// What each answer of the system gives, and that the connection is closed
// whenever it was opened.
TEST(QuerySystem, EveryAnswerAsAValue) {
  using A = FakeSystem::Answer;
  struct {
    const char* label;
    A answer;
    std::size_t outcome;  // the index of the variant's alternative
    std::vector<std::string> log;
  } cases[] = {
      {"figures", A::kFigures, 0, {"open PRD host:00", "call PRD", "close PRD"}},
      {"failed call", A::kCallFailure, 1, {"open PRD host:00", "call PRD", "close PRD"}},
      {"refused logon", A::kRefused, 2, {"open PRD host:00"}},
      {"error block at the logon", A::kOpenBlock, 4, {"open PRD host:00"}},
      {"error block in the call: the connection is still closed",
       A::kCallBlock,
       4,
       {"open PRD host:00", "call PRD", "close PRD"}},
  };
  for (const auto& c : cases) {
    FakeRfcLibrary library;
    library.systems["PRD"].answer = c.answer;
    NoEvents events;
    SystemOutcome outcome = QuerySystem(library, System("PRD"), {}, events, none);
    EXPECT_EQ(outcome.index(), c.outcome) << c.label;
    EXPECT_EQ(library.log, c.log) << c.label;
  }
}

TEST(QuerySystem, OverridesReachTheLogon) {
  FakeRfcLibrary library;
  NoEvents events;
  ParameterValues values;
  values.host = "sapqas01";
  values.sysnr = "01";
  QuerySystem(library, System("PRD"), values, events, none);
  EXPECT_EQ(library.log, std::vector<std::string>{"open PRD sapqas01:01"});
}

TEST(QuerySystem, UnusableDefinitionsAreNeverTried) {
  FakeRfcLibrary library;
  NoEvents events;
  SystemOutcome outcome = QuerySystem(library, System("..\\sec"), {}, events, none);
  ASSERT_TRUE(std::holds_alternative<NotTried>(outcome));
  EXPECT_FALSE(std::get<NotTried>(outcome).unsupported_mode);
  EXPECT_TRUE(library.log.empty());
}

TEST(QuerySystem, Messages) {
  EXPECT_EQ(LogonFailureMessage("PRD", ""), "Error 1011: RFC-Open for PRD failed !");
  EXPECT_EQ(LogonFailureMessage("PRD", "RFC_ERROR_LOGON_FAILURE: Name or password is incorrect"),
            "Error 1011: RFC-Open for PRD failed ! RFC_ERROR_LOGON_FAILURE: Name or password is incorrect");
  struct {
    CallFailure failure;
    const char* message;
  } cases[] = {
      {{CallFailureKind::kFailure, "", {}}, "Error 1014: RFC-Failure raised !"},
      {{CallFailureKind::kException, "NO_DATA", {}}, "Error 1012: Exception.: NO_DATA"},
      {{CallFailureKind::kSystemException, "ignored", {}}, "Error 1013: Sys-Exception raised !"},
      {{CallFailureKind::kOther, "", {}}, "Error 1015: Other Failure raised !"},
  };
  for (const auto& c : cases) EXPECT_EQ(CallFailureMessage(c.failure), c.message);
}

}  // namespace
}  // namespace poolmetrics
