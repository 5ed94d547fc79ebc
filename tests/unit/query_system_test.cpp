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

TEST(QuerySystem, StatesOfEveryAnswer) {
  using A = FakeSystem::Answer;
  struct {
    const char* label;
    A answer;
    bool valid;
    bool logged_on, figures, failure, block, processed;
    std::vector<std::string> log;
  } cases[] = {
      {"figures", A::kFigures, true, true, true, false, false, true, {"open PRD host:00", "call PRD", "close PRD"}},
      {"figures of an invalid definition",
       A::kFigures,
       false,
       true,
       true,
       false,
       false,
       false,
       {"open PRD host:00", "call PRD", "close PRD"}},
      {"refused logon", A::kRefused, true, false, false, false, false, false, {"open PRD host:00"}},
      {"error block at the logon", A::kOpenBlock, true, false, false, false, true, false, {"open PRD host:00"}},
      {"failed call",
       A::kCallFailure,
       true,
       true,
       false,
       true,
       false,
       false,
       {"open PRD host:00", "call PRD", "close PRD"}},
      {"error block in the call: the connection is still closed",
       A::kCallBlock,
       true,
       true,
       false,
       false,
       true,
       false,
       {"open PRD host:00", "call PRD", "close PRD"}},
  };
  for (const auto& c : cases) {
    FakeRfcLibrary library;
    library.systems["PRD"].answer = c.answer;
    NoEvents events;
    SystemResult r = QuerySystem(library, System("PRD"), c.valid, {}, events);
    EXPECT_EQ(r.logged_on, c.logged_on) << c.label;
    EXPECT_EQ(r.statistic.has_value(), c.figures) << c.label;
    EXPECT_EQ(r.failure.has_value(), c.failure) << c.label;
    EXPECT_EQ(r.block.has_value(), c.block) << c.label;
    EXPECT_EQ(r.processed, c.processed) << c.label;
    EXPECT_EQ(library.log, c.log) << c.label;
  }
}

TEST(QuerySystem, OverridesReachTheLogon) {
  FakeRfcLibrary library;
  NoEvents events;
  ParameterValues values;
  values.host = "sapqas01";
  values.sysnr = "01";
  QuerySystem(library, System("PRD"), true, values, events);
  EXPECT_EQ(library.log, std::vector<std::string>{"open PRD sapqas01:01"});
}

TEST(QuerySystem, UnusableDefinitionsAreNeverTried) {
  FakeRfcLibrary library;
  NoEvents events;
  SystemResult r = QuerySystem(library, System("..\\sec"), true, {}, events);
  EXPECT_FALSE(r.logged_on);
  EXPECT_FALSE(r.processed);
  EXPECT_TRUE(library.log.empty());
}

TEST(QuerySystem, Messages) {
  EXPECT_EQ(LogonFailureMessage("PRD"), "Error 1011: RFC-Open for PRD failed !");
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
