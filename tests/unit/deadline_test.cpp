#include "run/deadline.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include <unistd.h>

#include "base/console.h"

namespace poolmetrics {
namespace {

TEST(Deadline, PrtgModesAnswerBeforePrtgsDefaultTimeoutLineModesWait) {
  struct {
    CallerMode mode;
    std::optional<unsigned> timeout;
    int seconds;  // -1: none
  } cases[] = {
      {CallerMode::kExeXml, std::nullopt, 50},  {CallerMode::kHoldrun, std::nullopt, 50},
      {CallerMode::kVarnock, std::nullopt, 50}, {CallerMode::kBrennick, std::nullopt, -1},
      {CallerMode::kQuillon, std::nullopt, -1}, {CallerMode::kExeXml, 5u, 5},
      {CallerMode::kQuillon, 900u, 900},
  };
  for (const auto& c : cases) {
    std::optional<unsigned> seconds = RunTimeoutSeconds(c.timeout, c.mode);
    EXPECT_EQ(seconds ? static_cast<int>(*seconds) : -1, c.seconds) << CallerModeName(c.mode);
  }
}

// Armed from the start, in milliseconds; unarmed or without a limit, it
// never passes.
TEST(Deadline, ArmedFromTheStart) {
  Clock::time_point start = Clock::now();
  Deadline deadline(start);
  deadline.Arm(RunKind::kSingle, std::chrono::seconds(30));
  ASSERT_TRUE(deadline.when());
  EXPECT_EQ(*deadline.when(), start + std::chrono::seconds(30));
  EXPECT_EQ(deadline.seconds(), 30u);
  Deadline none(start);
  none.Arm(RunKind::kSingle, std::nullopt);
  EXPECT_FALSE(none.when());
  EXPECT_EQ(none.seconds(), 0u);
}

TEST(Deadline, MessageNamesTheStepAndTheSystem) {
  EXPECT_EQ(DeadlineMessage(2, QueryStep::kLogon, "PRD"), "Error 1033: Timeout after 2 s in the logon to PRD...");
  EXPECT_EQ(DeadlineMessage(50, QueryStep::kCall, "QAS"), "Error 1033: Timeout after 50 s in the call to QAS...");
  EXPECT_EQ(DeadlineMessage(5, QueryStep::kBeforeLogon, "DEV"),
            "Error 1033: Timeout after 5 s before the logon to DEV...");
}

// A listing's summary for the tests: says so on standard error.
class Summary final : public ListingSummary {
 public:
  void EndAtDeadline() override { std::fputs("summary of what finished\n", stderr); }
};

// The steps of a run, and its last words when the deadline passes during
// them: the innermost step that lives names the step and system (a step
// that ended gives its place back); the kind of run says what is written
// and the status. Steps before the logon start no watchdog, so a step that
// begins after the deadline answers it itself. Standard output goes to
// standard error here, so that the death test sees the document.
TEST(DeadlineDeathTest, TheLastWordsNameTheInnermostStepAndSuitTheRun) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  enum Steps { kBeginsLate, kNested, kAfterAnEndedStep };
  struct {
    const char* label;
    RunKind kind;
    Steps steps;
    int status;
    const char* words;
  } cases[] = {
      {"a step that begins late", RunKind::kSingle, kBeginsLate, 2,
       "Error 1033: Timeout after 0 s before the logon to PRD\\.\\.\\."},
      {"the innermost step", RunKind::kSingle, kNested, 2, "Error 1033: Timeout after 0 s in the call to QAS"},
      {"a step that ended gives its place back", RunKind::kSingle, kAfterAnEndedStep, 2,
       "Error 1033: Timeout after 0 s in the logon to PRD"},
      {"a listing: the summary", RunKind::kListing, kNested, 0, "summary of what finished"},
      {"a child: no words", RunKind::kChild, kNested, 2, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EXIT(
        {
          dup2(2, 1);
          static Summary summary;
          static Deadline deadline(Clock::now());
          deadline.Arm(c.kind, std::chrono::milliseconds(100));
          deadline.AnswerWith(summary);
          auto past_the_deadline = [] { watchdog_platform::SleepMilliseconds(200); };
          if (c.steps == kBeginsLate) {
            past_the_deadline();
            Deadline::Step late(deadline, QueryStep::kBeforeLogon, "PRD");
          } else if (c.steps == kNested) {
            Deadline::Step outer(deadline, QueryStep::kBeforeLogon, "PRD");
            past_the_deadline();
            Deadline::Step inner(deadline, QueryStep::kCall, "QAS");
          } else {
            Deadline::Step outer(deadline, QueryStep::kLogon, "PRD");
            { Deadline::Step ended(deadline, QueryStep::kCall, "QAS"); }
            past_the_deadline();  // the watchdog answers meanwhile
          }
          std::_Exit(3);  // the deadline was not answered
        },
        ::testing::ExitedWithCode(c.status), c.words)
        << c.label;
  }
}

// The watchdog ends the process with the run's last words, from its own
// thread, while the main thread waits in a step; once every step has ended,
// it lets the run end by itself.
TEST(DeadlineDeathTest, TheWatchdogAnswersDuringAStepOnly) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        static Deadline deadline(Clock::now());
        deadline.Arm(RunKind::kChild, std::chrono::milliseconds(50));
        Deadline::Step step(deadline, QueryStep::kLogon, "PRD");
        for (;;) watchdog_platform::SleepMilliseconds(1000);
      },
      ::testing::ExitedWithCode(2), "");
  EXPECT_EXIT(
      {
        static Deadline deadline(Clock::now());
        deadline.Arm(RunKind::kChild, std::chrono::milliseconds(50));
        { Deadline::Step step(deadline, QueryStep::kLogon, "PRD"); }
        watchdog_platform::SleepMilliseconds(300);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace poolmetrics
