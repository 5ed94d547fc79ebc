#include "run/single_run.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "fake_rfc_library.h"
#include "run/run_failure.h"

namespace poolmetrics {
namespace {

using A = FakeSystem::Answer;

struct Outcome {
  int status = -1;  // 0 printed, 2 error document, 1 error block
  std::string printed;
  std::string message;
};

Outcome RunAgainst(const FakeSystem& answering, CallerMode mode = CallerMode::kHoldrun,
                   const char* parameters = "PXA-INFO") {
  FakeRfcLibrary library;
  library.systems["PRD"] = answering;
  Request request;
  request.Mode = mode;
  request.ProfileName = "PRD.P00";
  request.Params = ReadParameters(parameters);
  SystemDefinition system;
  system.Destination = "PRD";
  system.Hostname = "host";
  system.Sysnr = "00";
  Outcome outcome;
  ::testing::internal::CaptureStdout();
  try {
    Progress progress(false, 0);
    LogonEvents events(false);
    Deadline none(Clock::now());
    outcome.status = PrintSingleRun(request, system, &library,
                                    QuerySystem(library, system, request.Params.Values, events, none), progress);
  } catch (const RunFailure& failure) {
    outcome.status = failure.block() ? 1 : 2;
    outcome.message = failure.block() ? failure.block()->operation : failure.message();
  }
  std::fflush(stdout);
  outcome.printed = ::testing::internal::GetCapturedStdout();
  return outcome;
}

// Every way a single system can answer, and what the run makes of it. The
// failures travel to the entry, which prints them; nothing else is printed.
TEST(SingleRun, EveryAnswer) {
  struct {
    const char* label;
    FakeSystem system;
    int status;
    const char* message;  // the start of it: the trace hint depends on the working directory
  } cases[] = {
      {"refused logon", {A::kRefused, 0, {}}, 2, "Error 1011: RFC-Open for PRD failed !"},
      {"exception",
       {A::kCallFailure, 0, {CallFailureKind::kException, "NO_DATA", {}}},
       2,
       "Error 1012: Exception.: NO_DATA - "},
      {"failure", {A::kCallFailure, 0, {CallFailureKind::kFailure, "", {}}}, 2, "Error 1014: RFC-Failure raised ! - "},
      {"error block at the logon", {A::kOpenBlock, 0, {}}, 1, "RfcOpen"},
      {"error block in the call", {A::kCallBlock, 0, {}}, 1, "ItCreate TABLE_STATISTIC"},
  };
  for (const auto& c : cases) {
    Outcome o = RunAgainst(c.system);
    EXPECT_EQ(o.status, c.status) << c.label;
    EXPECT_EQ(o.message.rfind(c.message, 0), 0u) << c.label << ": " << o.message;
    EXPECT_EQ(o.printed, "") << c.label;
  }
}

TEST(SingleRun, FiguresBecomeTheDocumentOfTheForm) {
  Outcome xml = RunAgainst({A::kFigures, 42, {}});
  EXPECT_EQ(xml.status, 0);
  EXPECT_EQ(xml.printed.rfind("\n<Prtg>\n\n<Text>(PRD) Selected Information for PXA (Program Buffer), since "
                              "02.01.23 at 10:15</Text>\n\n<Result><Channel>Size of the gaps in PXA</Channel>",
                              0),
            0u)
      << xml.printed;
  EXPECT_NE(xml.printed.find("<Value>42</Value>"), std::string::npos);

  Outcome quillon = RunAgainst({A::kFigures, 42, {}}, CallerMode::kQuillon, "PXA-INFO CH=1");
  EXPECT_EQ(quillon.printed, "42\n");
}

}  // namespace
}  // namespace poolmetrics
